// The camera settings a plan file may set, under the same snake_case keys
// that `orvanta-cli read --format csv|json` prints, so that what a read
// prints is a plan to start from. Each key knows how to check a planned
// value, put it into the record and print the record's value for comparing
// and for the dry run's "old -> new" lines.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/CameraSettings.h"

namespace orvanta::provision {

struct PlanField {
    std::string key;
    // Checks `text` and, when it is good, writes it into the record. False
    // with `why` (the record untouched) otherwise.
    std::function<bool(std::string_view text, CameraSettings& s, std::string& why)> apply;
    // The record's value as a plan would write it.
    std::function<std::string(const CameraSettings& s)> text;
    // CheckAddressing reads the field: a row that changes it is held to it.
    bool addressing = false;
};

// The key's field, or nullptr when a plan cannot set it.
const PlanField* FindPlanField(std::string_view key);

// Every settable key, in the order read prints them.
const std::vector<PlanField>& PlanFields();

// Keys that read prints but a plan cannot set (model, firmware version,
// capabilities, NAT state, the clock): accepted in a plan and ignored, so a
// read's CSV loads as it is.
bool IsReportedOnlyKey(std::string_view key);

// The wired (and, when fixed, wireless) addressing of a record: the address
// is a host of its subnet, the mask contiguous, the gateway (when set) in the
// same subnet. Appends one line per problem, prefixed by `where`.
void CheckAddressing(const CameraSettings& s, const std::string& where, std::vector<std::string>& problems);

}  // namespace orvanta::provision

// The ONVIF side of a plan: a row with `kind` onvif names another maker's
// camera by its endpoint reference (`uuid`), its MAC or the address it
// answers on, and sets what ONVIF offers for a camera's network: ip_address
// and prefix (or dhcp), gateway, dns, ntp, hostname, and sync_time. Checked
// with the rest of the plan, before anything is sent.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::provision {

// What an ONVIF row asks for, as the row gave it. An unset field is left
// as the camera has it.
struct OnvifPlan {
    std::optional<std::string> ipAddress;
    std::optional<int> prefix;
    std::optional<bool> dhcp;
    std::optional<std::string> gateway;
    std::optional<std::vector<std::string>> dns;
    std::optional<std::vector<std::string>> ntp;
    std::optional<std::string> hostname;
    bool syncTime = false;
    // A firmware image to install, and the version it brings: a camera
    // already at that version is left alone (see FirmwarePlan.h).
    std::optional<std::string> firmwareFile;
    std::optional<std::string> firmwareVersion;
    // A profile's video encoder: `stream.profile` names it (token or
    // 1-based place); the values are checked against the camera's options
    // by the service before anything is sent.
    std::optional<onvif::OnvifStreamChange> stream;
    // A user to add (or, when the camera has it, to set): the password
    // comes from the file the row names, never from the plan itself.
    std::optional<std::string> addUser;
    std::optional<std::string> userLevel;
    std::optional<std::string> userPasswordFile;
    std::string userPassword;   // the file's first line, once read
};

// The keys an ONVIF row may set, in report order.
const std::vector<std::string>& OnvifPlanKeys();
bool IsOnvifPlanKey(std::string_view key);

// Checks one cell of an ONVIF row and puts it into `plan`; false with `why`.
bool ApplyOnvifCell(std::string_view key, std::string_view value, OnvifPlan& plan, std::string& why);

// The whole row's addressing: a fixed address and DHCP at once, an address
// that is not a host of its subnet, a gateway outside it. One line a
// problem, prefixed by `where`.
void CheckOnvifAddressing(const OnvifPlan& plan, const std::string& where, std::vector<std::string>& problems);

// The stream and user columns of a row that do not make sense alone: a
// stream value without a profile, a user without a password file or with
// a level that is not one.
void CheckOnvifStreamAndUser(const OnvifPlan& plan, const std::string& where, std::vector<std::string>& problems);

// Reads every row's user_password_file (a name relative to `planFolder`
// unless absolute) into the row; a file that cannot be read is a problem
// of the plan, found before anything is sent.
void ReadUserPasswordFiles(std::vector<OnvifPlan*> plans, const std::string& planFolder,
                           std::vector<std::string>& problems);

struct OnvifFieldChange {
    std::string key;
    std::string before;
    std::string after;
};

// What the camera in `current` needs to become as `plan` wants: the change
// to send (only what differs) and each differing key as before/after text.
// A clock counts as differing when it is two seconds or more off.
onvif::OnvifChange OnvifChangeFor(const OnvifPlan& plan, const onvif::OnvifDeviceState& current,
                                  std::vector<OnvifFieldChange>& changes);

// The planned keys whose value in `actual` is not the planned one (the
// clock is not read back: a sync is done once the camera took it).
std::vector<OnvifFieldChange> OnvifMismatches(const OnvifPlan& plan, const onvif::OnvifDeviceState& actual);

}  // namespace orvanta::provision

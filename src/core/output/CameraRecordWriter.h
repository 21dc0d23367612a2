// What a camera read gives, as named values for orvanta-cli read --format
// csv|json: the camera's own settings under snake_case keys, numbers as
// numbers, none of the wizard's internal state or this PC's facts. Secrets
// (PPPoE, DDNS, WPA and WEP keys) only when asked for.
#pragma once

#include <string>
#include <vector>

#include "core/output/RecordWriter.h"
#include "core/settings/CameraSettings.h"

namespace orvanta::output {

// The columns of the camera keys table, in its order: they name a CSV's
// columns and are what other tools (plan files) match on, so they never
// change once published.
std::vector<std::string> CameraRecordColumns(bool withSecrets);

// The values of `settings` in the order of CameraRecordColumns.
std::vector<OutputValue> CameraRecordRow(const CameraSettings& settings, bool withSecrets);

}  // namespace orvanta::output

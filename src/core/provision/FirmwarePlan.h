// Firmware in a plan: an ONVIF row's firmware_file (a path, relative to the
// plan's folder unless absolute) and firmware_version. The files are
// checked with the rest of the plan, before anything is sent; a row's
// camera gets its image before its settings, so that settings a new
// firmware might put back are set on the firmware that stays.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/onvif/OnvifService.h"
#include "core/provision/PlanFile.h"
#include "core/provision/Provisioner.h"

namespace orvanta::provision {

// Makes every firmware_file of `plan` absolute (relative ones against
// `planFolder`) and checks that each may be sent (a regular file, not
// empty, at most 256 MiB). False with a problem a file.
bool ResolveFirmwareFiles(Plan& plan, const std::string& planFolder, std::vector<std::string>& problems);

// Everything a plan names beside itself (firmware images, the password
// files of new users), read or checked at once from `planFolder`, so the
// command line and the window find the same problems before anything is
// sent. False when any was added to `problems`.
bool ReadFilesBesidePlan(Plan& plan, const std::string& planFolder, std::vector<std::string>& problems);

enum class FirmwareStep {
    None,          // the row names no firmware
    AlreadyThere,  // the camera runs firmware_version: nothing sent
    WouldUpgrade,  // a dry run: it would be sent
    Upgraded,      // sent, the camera found again and its new version read
    Failed,        // `result` says why; the row ends here
};

// The firmware step of one ONVIF row. `camera` and `state` are updated to
// where the camera answers afterwards and what it reads there. `step` is
// told the stages ("uploading firmware 40%", ...).
FirmwareStep RunFirmwareStep(onvif::OnvifService& service, onvif::OnvifDevice& camera,
                             const onvif::OnvifCredentials& credentials, const OnvifPlan& plan, bool dryRun,
                             onvif::OnvifDeviceState& state, RowResult& result,
                             const std::function<void(const std::string&)>& step);

}  // namespace orvanta::provision

// What the maintenance operations of OnvifService take and tell: a
// firmware upgrade (the image, the version it should bring, progress as it
// goes, what was found afterwards) and a restart (a reboot, or a soft
// factory default, which keeps the network settings and restarts).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

struct FirmwareUpgrade {
    std::string file;
    // When set: a camera already at this version is left alone (nothing is
    // sent), and the upgrade counts as done only when the camera reads
    // back this version. Otherwise any change of version counts.
    std::string expectVersion;
};

struct FirmwareProgress {
    enum class Stage {
        Uploading,   // sent/total of the image
        Restarting,  // the camera took the image and is installing it
        Finding,     // looking for it again by its identity
        Reading,     // reading its version back
    };
    Stage stage = Stage::Uploading;
    std::uint64_t sent = 0;
    std::uint64_t total = 0;
};
// Called on the thread that runs the upgrade; keep it short.
using FirmwareProgressFn = std::function<void(const FirmwareProgress&)>;

struct FirmwareReport {
    std::string before;           // FirmwareVersion before anything was sent
    std::string after;            // as read back once the camera was found again ("" when it was not)
    std::string method;           // StartFirmwareUpgrade or UpgradeSystemFirmware
    std::uint64_t sent = 0;       // image bytes the camera took
    std::uint64_t total = 0;      // the image's size
    bool uploadComplete = false;  // the camera took the whole image and said so
    bool skipped = false;         // already at expectVersion: nothing was sent
    std::string where;            // the device service it was found at afterwards
};

enum class RestartKind {
    Reboot,       // SystemReboot
    SoftDefault,  // SetSystemFactoryDefault Soft: settings back to the maker's, network kept
};

}  // namespace orvanta::onvif

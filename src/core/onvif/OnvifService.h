// Everything the wizard and the command line do on an ONVIF camera, behind
// one interface, so a test replaces the camera with a scripted fake. Kept
// apart from CameraService: the two protocols share the host network, the
// deadline, the temporary address, the diagnostics sink and the
// provisioner, nothing else.
//
// A camera is named by an OnvifDevice: its device service and what is known
// of its identity. Every call learns the camera's clock first (anonymous GetSystemDateAndTime) and signs
// with the camera's time; HTTP Digest is answered when the camera asks.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/base/Deadline.h"
#include "core/onvif/OnvifDevice.h"
#include "core/onvif/OnvifMaintenance.h"
#include "core/onvif/OnvifSnapshot.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

struct OnvifCallSettings {
    int connectLimitMs = 3000;
    int overallLimitMs = 15000;   // one call, connect to last byte
    // The caller's overall deadline (a command's time limit): every call and
    // every wait for a restarting camera ends by it, whatever its own limits
    // still allow. Handed down with the settings, never kept per thread, so
    // a worker thread sees the same deadline as the command that started it.
    Deadline within = Deadline::Never();
};

class OnvifService {
public:
    virtual ~OnvifService() = default;

    // Reads everything `onvif read` prints.
    // A device whose MAC is known and differs from the one read is Refused.
    virtual OnvifResult Read(const OnvifDevice& device, const OnvifCredentials& credentials,
                             OnvifDeviceState& state) = 0;

    // Applies a change, finds the camera again by its endpoint reference
    // (after a reboot when the camera asks for one), reads it back and
    // compares: Ok only when every changed field matches. `after` holds
    // what was read back (and where the camera now is: after.ipv4).
    virtual OnvifResult Apply(const OnvifDevice& device, const OnvifCredentials& credentials,
                              const OnvifChange& change, OnvifDeviceState& after) = 0;

    // Sends a firmware image (by the upload URI StartFirmwareUpgrade gives,
    // or inside UpgradeSystemFirmware where that is all the camera offers),
    // waits out the restart, finds the camera again by its identity and
    // reads its version. Ok only when the version changed (or is
    // upgrade.expectVersion); `report` says how far it got either way.
    virtual OnvifResult UpgradeFirmware(const OnvifDevice& device, const OnvifCredentials& credentials,
                                        const FirmwareUpgrade& upgrade, const FirmwareProgressFn& progress,
                                        FirmwareReport& report) {
        (void)device, (void)credentials, (void)upgrade, (void)progress, (void)report;
        return {OnvifStatus::NotSupported, "firmware upgrades are not offered here"};
    }

    // Restarts the camera and finds it again; Ok with `after` read back.
    virtual OnvifResult Restart(const OnvifDevice& device, const OnvifCredentials& credentials, RestartKind kind,
                                OnvifDeviceState& after) {
        (void)device, (void)credentials, (void)kind, (void)after;
        return {OnvifStatus::NotSupported, "restarts are not offered here"};
    }
    // What the video encoder of `profile` (a token, or the n-th profile
    // from 1) may be set to, as the camera states it: the choices a window
    // offers and a dry run checks against.
    virtual OnvifResult ReadStreamOptions(const OnvifDevice& device, const OnvifCredentials& credentials,
                                          const std::string& profile, OnvifEncoderOptions& options) {
        (void)device, (void)credentials, (void)profile, (void)options;
        return {OnvifStatus::NotSupported, "streams are not read here"};
    }

    // The camera's ONVIF users and their levels (GetUsers; many cameras
    // tell them to administrators only).
    virtual OnvifResult ListUsers(const OnvifDevice& device, const OnvifCredentials& credentials,
                                  std::vector<OnvifUser>& users) {
        (void)device, (void)credentials, (void)users;
        return {OnvifStatus::NotSupported, "users are not read here"};
    }

    // The camera's still picture, checked to be a JPEG (OnvifSnapshot.h).
    // A service that cannot take pictures says NotSupported, as a camera
    // without a snapshot address does.
    virtual OnvifResult Snapshot(const OnvifDevice& device, const OnvifCredentials& credentials,
                                 OnvifSnapshot& picture) {
        (void)device;
        (void)credentials;
        picture = OnvifSnapshot{};
        return {OnvifStatus::NotSupported, "no pictures from this service"};
    }
};

}  // namespace orvanta::onvif

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

#include "core/base/Deadline.h"
#include "core/onvif/OnvifDevice.h"
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
};

}  // namespace orvanta::onvif

// Everything the wizard and the command line do on an ONVIF camera, behind
// one interface, so a test replaces the camera with a scripted fake. Kept
// apart from CameraService: the two protocols share the host network, the
// deadline, the temporary address, the diagnostics sink and the
// provisioner, nothing else.
//
// A target is a device-service URL ("http://192.168.1.30/onvif/device_service"),
// an address or "address:port" (the standard path is assumed). Every call
// learns the camera's clock first (anonymous GetSystemDateAndTime) and signs
// with the camera's time; HTTP Digest is answered when the camera asks.
#pragma once

#include <memory>
#include <string>

#include "core/base/Deadline.h"
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
    virtual OnvifResult Read(const std::string& target, const OnvifCredentials& credentials,
                             OnvifDeviceState& state) = 0;

    // Applies a change, finds the camera again by its endpoint reference
    // (after a reboot when the camera asks for one), reads it back and
    // compares: Ok only when every changed field matches. `after` holds
    // what was read back (and where the camera now is: after.ipv4).
    virtual OnvifResult Apply(const std::string& target, const OnvifCredentials& credentials,
                              const OnvifChange& change, OnvifDeviceState& after) = 0;

    // The endpoint reference a search heard for `target`: a camera that does
    // not tell its own (GetEndpointReference is optional) can still be found
    // again after a move. Services that never search ignore it.
    virtual void KnowEndpoint(const std::string& target, const std::string& endpoint) {
        (void)target;
        (void)endpoint;
    }

    // The camera's still picture, checked to be a JPEG (OnvifSnapshot.h).
    // A service that cannot take pictures says NotSupported, as a camera
    // without a snapshot address does.
    virtual OnvifResult Snapshot(const std::string& target, const OnvifCredentials& credentials,
                                 OnvifSnapshot& picture) {
        (void)target;
        (void)credentials;
        picture = OnvifSnapshot{};
        return {OnvifStatus::NotSupported, "no pictures from this service"};
    }
};


}  // namespace orvanta::onvif

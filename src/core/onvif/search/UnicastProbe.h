// Where an address serves ONVIF: a WS-Discovery Probe sent straight to it
// (port 3702) and the device service its own answer announces. Cameras put
// the device service on any port (8080, 8899, 8999, 10000, ...), so an
// address the user typed without one is asked before port 80 is assumed.
// Only an answer from that very address counts, and the URL is used on
// that address: the XAddrs host is never taken as where to send a login.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "core/onvif/OnvifService.h"
#include "core/onvif/soap/ServiceAddress.h"

namespace orvanta::onvif {

struct ProbedService {
    ServiceUrl url;          // on the probed address
    std::string endpoint;    // the endpoint reference it announced
};

// The device service `address` (a dotted quad) announces, or nullopt when
// nothing usable came back within `limit` (no answer, the port closed, or
// an answer without a usable XAddr) or once `stop` says so.
std::optional<ProbedService> ProbeDeviceService(const std::string& address, std::chrono::milliseconds limit,
                                                const std::function<bool()>& stop = {});

// Where to call an address typed without a port: the probe above, raced
// against port 80 answering an anonymous GetSystemDateAndTime as a device
// service (nothing secret goes out before the port is known), so a camera
// on port 80 is read as fast as before and one elsewhere is still found.
// The probe's answer when it names a service; port 80 (endpoint unknown)
// when that answered; nullopt when neither did within `limit`.
std::optional<ProbedService> LocateDeviceService(const std::string& address, std::chrono::milliseconds limit,
                                                 const OnvifCallSettings& call);

}  // namespace orvanta::onvif

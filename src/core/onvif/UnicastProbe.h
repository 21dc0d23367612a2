// Where an address serves ONVIF: a WS-Discovery Probe sent straight to it
// (port 3702) and the device service its own answer announces. Cameras put
// the device service on any port (8080, 8899, 8999, 10000, ...), so an
// address the user typed without one is asked before port 80 is assumed.
// Only an answer from that very address counts, and the URL is used on
// that address: the XAddrs host is never taken as where to send a login.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "core/onvif/ServiceAddress.h"

namespace orvanta::onvif {

struct ProbedService {
    ServiceUrl url;          // on the probed address
    std::string endpoint;    // the endpoint reference it announced
};

// The device service `address` (a dotted quad) announces, or nullopt when
// nothing usable came back within `limit` (no answer, the port closed, or
// an answer without a usable XAddr).
std::optional<ProbedService> ProbeDeviceService(const std::string& address, std::chrono::milliseconds limit);

}  // namespace orvanta::onvif

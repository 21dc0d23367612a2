// A search for ONVIF devices beyond the PC's own links, where a multicast
// probe never reaches: every address of a range is asked in turn, from one
// socket, at a bounded packet rate. First by a WS-Discovery Probe sent
// straight to it (port 3702, tried again once), then, for an address that
// stays silent, by an anonymous GetSystemDateAndTime on the ports device
// services are usually found on (cameras with discovery turned off still
// answer that). Nothing but the PC's routes is used: no temporary address,
// no ARP of our own for an address behind a router.
//
// An answer counts for the address it came from (a device may answer a
// probe sent to one of its addresses from another): that address is the
// row's, and the address asked stays unanswered until it answers itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/base/Deadline.h"
#include "core/onvif/OnvifService.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

struct RangeSurveySettings {
    int packetsPerSecond = 1000;                     // probes and connection attempts together
    int probeTries = 2;                              // UDP may drop one
    std::chrono::milliseconds probeRetry{400};       // between two probes to one address
    std::chrono::milliseconds probeWait{800};        // after the last probe, before the ports are tried
    // Where device services are usually found when discovery is off.
    std::vector<std::string> ports = {"80", "8080", "8899", "8000", "10080", "8999", "10000"};
    std::chrono::milliseconds connectWait{1000};     // one connection attempt
    // Attempts under way at once; 0: as many as the rate starts within one
    // connectWait, so the rate and not this bounds the survey. Never more
    // than the process may open files (less a margin).
    int openConnections = 0;
    OnvifCallSettings call;                          // the GetSystemDateAndTime on a port that took the connection
    Deadline within = Deadline::Never();             // the whole survey ends by it
    // Called on the surveying thread for each device the first time it is
    // heard (for a listing that prints rows as they come).
    std::function<void(const DiscoveredOnvifDevice&)> heard;
    std::function<bool()> stop;                      // true: end now, with what was heard
};

struct RangeSurveyReport {
    bool ran = false;
    std::string why;            // why it could not run
    std::size_t asked = 0;      // addresses probed
    std::size_t unreadable = 0; // answers that could not be read
    bool complete = false;      // every address answered or had its last try
};

// The devices at `addresses` (host order), one per endpoint reference (a
// device found only by its port, whose reference is unknown, one per
// address), in the order heard. Each carries the card its route leaves by
// and whether a router lies between (see RouteOf).
std::vector<DiscoveredOnvifDevice> SurveyAddresses(const std::vector<uint32_t>& addresses,
                                                   const RangeSurveySettings& settings, RangeSurveyReport& report);

// The card the kernel's route to `address` (host order) leaves by, the PC's
// address it would send from, and whether the route goes through a router.
// False when no route leads there.
struct RouteToDevice {
    std::string card;
    uint32_t localAddress = 0;  // host order
    bool viaRouter = false;
};
bool RouteOf(uint32_t address, RouteToDevice& route);

// Every router the PC's routes lead through (host order), any table.
std::vector<uint32_t> RoutersOfThePc();

}  // namespace orvanta::onvif

// WS-Discovery for ONVIF devices: a Probe sent to 239.255.255.250:3702 from
// each up IPv4 address of each card (IP_MULTICAST_IF, so no route is
// needed), ProbeMatches read on the socket that sent, Hello and Bye heard
// while the search runs. One entry per endpoint reference.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/onvif/search/ProbeCards.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

struct OnvifDiscoverySettings {
    std::chrono::milliseconds duration{3000};  // how long a search listens
    std::string onlyInterface;                 // empty: every card
    int repeats = 2;                           // probes per address (UDP may drop one)
};

// The PC's cards a search sends from (`onlyInterface`, or every card that is
// up with an IPv4 address); none is a diagnostic line.
std::vector<ProbeCard> CardsToSearch(const OnvifDiscoverySettings& settings);

// One whole search. Never throws; a card that cannot send is skipped with a
// diagnostic line.
std::vector<DiscoveredOnvifDevice> SearchOnvifDevices(const OnvifDiscoverySettings& settings);

// The same, telling whether the search could run at all: false in `ran`
// (with the reason in `why`) when no card was up with an IPv4 address or
// no probe socket could be opened, so that "no camera" is never said where
// nothing was asked.
struct OnvifSearchReport {
    bool ran = false;
    std::string why;
    // Replies that came but could not be read, per card ("2 replies on
    // eth1 could not be read"); empty when every reply was read.
    std::string unreadable;
};
std::vector<DiscoveredOnvifDevice> SearchOnvifDevices(const OnvifDiscoverySettings& settings,
                                                      OnvifSearchReport& report);

// Searches until the endpoint reference answers (a ProbeMatch or a Hello) or
// `limit` passes (listening a moment longer, so that every address that
// claims the reference is in heardFrom); probes again every `interval`.
// For finding a camera again
// after its address changed or it restarted.
std::optional<DiscoveredOnvifDevice> FindOnvifEndpoint(const std::string& endpoint,
                                                       std::chrono::milliseconds limit,
                                                       const OnvifDiscoverySettings& settings = {},
                                                       std::chrono::milliseconds interval = std::chrono::milliseconds(2000));

}  // namespace orvanta::onvif

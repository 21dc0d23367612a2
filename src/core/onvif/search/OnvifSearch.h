// A WS-Discovery search that a window runs beside its own timer: begun at
// once, looked at on each tick, ended when the window's search ends. The
// listening happens on a thread of the search's own, so a tick never waits
// and replies never pile up in a socket between two ticks.
#pragma once

#include <memory>
#include <vector>

#include "core/onvif/search/OnvifDiscovery.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

class OnvifSearch {
public:
    virtual ~OnvifSearch() = default;

    // Starts a search (ending one still running). `ran` false, with the
    // reason, when nothing could be asked: no card up, no probe socket.
    virtual OnvifSearchReport Begin() = 0;
    // The cameras heard since Begin, one per endpoint reference, in the
    // order first heard. True when the list changed since the last look.
    virtual bool Look(std::vector<DiscoveredOnvifDevice>& devices) = 0;
    // Replies heard since Begin that could not be read, in one line
    // ("2 replies on eth1 could not be read"); "" when none.
    virtual std::string Unreadable() { return {}; }
    // Stops listening; the sockets go at once.
    virtual void End() = 0;
};

// Over the network: `settings.duration` is how long the search listens
// (probes repeated as SearchOnvifDevices repeats them).
std::unique_ptr<OnvifSearch> MakeNetworkOnvifSearch(const OnvifDiscoverySettings& settings);

}  // namespace orvanta::onvif

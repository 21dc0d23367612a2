// What a temporary address must leave alone: the networks the PC already
// reaches through its other cards. Linux answers ARP for a local address on
// every card, so an address inside another card's network speaks for a host
// there (its router, say), and the address's subnet would pull that network's
// traffic to the wrong card. The wizard (before it asks) and the helper
// (whoever asks) judge a candidate by the same function.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/hostnet/HostNetwork.h"

namespace orvanta::hostnet {

struct NetworkInUse {
    uint32_t ifIndex = 0;
    std::string card;      // the interface's name, for the message
    uint32_t network = 0;  // network byte order; host bits may be set
    int prefix = 0;
    bool routed = false;   // a route's destination, not a subnet of the card's own addresses
};

// The subnets and routes an adapter listing shows, every card included.
std::vector<NetworkInUse> NetworksInUse(const AdapterList& list);

// Empty when address/prefix may go on card ifIndex: neither the address nor
// its subnet overlaps a network of another card (a default route overlaps
// everything and counts as none). Else one line saying which network, e.g.
// "192.168.7.0/24 is the network of wlan0; reaching a camera there would
// disturb it".
std::string TemporaryAddressConflict(uint32_t address, int prefix, uint32_t ifIndex,
                                     const std::vector<NetworkInUse>& inUse);

struct RouteTarget {
    uint32_t destination = 0;
    int prefix = 0;
};

// What the kernel's own route lookup (RTM_GETROUTE, every policy rule and
// table included) chose for one destination.
struct RouteLookup {
    enum class Result {
        NoRoute,  // nothing leads there (ENETUNREACH)
        Route,    // a route leads there: prefix, oif, viaGateway say which
        Barred,   // an unreachable, prohibit or blackhole route: someone decided
    };
    Result result = Result::NoRoute;
    int prefix = 0;           // the matched route's prefix length
    uint32_t oif = 0;         // 0 for a route over several next hops
    bool viaGateway = false;  // through a router (or several next hops), not on-link
};

// Where the route through a temporary address address/prefix on card
// ifIndex (added without the kernel's prefix route) should lead, judged by
// the kernel's lookups for the address itself (`subnet`) and for `camera`:
// - the whole subnet only where nothing covers it, not even the default
//   route or a policy rule, and no route of any table lies inside it;
// - else the camera alone, so a router or VPN the PC relies on for the rest
//   of the subnet keeps it;
// - else nowhere: no camera was named, the camera has a host route of its
//   own, or a route of this very card already reaches it on-link (the
//   card's own subnet: a host route through the temporary address would
//   make the camera answer an address it cannot reach).
std::optional<RouteTarget> TemporaryAddressRoute(uint32_t address, int prefix, uint32_t camera, uint32_t ifIndex,
                                                 const RouteLookup& subnet, const RouteLookup& cameraRoute,
                                                 const std::vector<NetworkInUse>& inUse);

}  // namespace orvanta::hostnet

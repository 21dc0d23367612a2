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

// Where the route through a temporary address address/prefix (added without
// the kernel's prefix route) should lead: the whole subnet when no route to
// it or to any part of it exists, else the camera alone, else (the camera
// has a route of its own too, or none was named) nowhere.
std::optional<RouteTarget> TemporaryAddressRoute(uint32_t address, int prefix, uint32_t camera,
                                                 const std::vector<NetworkInUse>& inUse);

}  // namespace orvanta::hostnet

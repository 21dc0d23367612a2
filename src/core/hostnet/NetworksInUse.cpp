#include "core/hostnet/NetworksInUse.h"

#include "core/base/AddressText.h"

namespace orvanta::hostnet {

namespace {

// Two prefixes overlap when the shorter one holds the other.
bool Overlap(uint32_t a, int aPrefix, uint32_t b, int bPrefix) {
    const uint32_t mask = PrefixMask(aPrefix < bPrefix ? aPrefix : bPrefix);
    return (a & mask) == (b & mask);
}

// A route to `inner` is as specific as `outer` or more, and inside it.
bool Within(uint32_t inner, int innerPrefix, uint32_t outer, int outerPrefix) {
    return innerPrefix >= outerPrefix && (inner & PrefixMask(outerPrefix)) == (outer & PrefixMask(outerPrefix));
}

}  // namespace

std::vector<NetworkInUse> NetworksInUse(const AdapterList& list) {
    std::vector<NetworkInUse> result;
    if (!list.ok) return result;
    for (const auto& adapter : list.adapters) {
        for (const auto& a : adapter.addresses)
            if (const int prefix = MaskPrefix(a.mask); prefix >= 0)
                result.push_back({adapter.index, adapter.name, a.address, prefix, false});
        for (const auto& r : adapter.routes)
            if (const int prefix = MaskPrefix(r.mask); prefix >= 0)
                result.push_back({adapter.index, adapter.name, r.address, prefix, true});
    }
    return result;
}

std::string TemporaryAddressConflict(uint32_t address, int prefix, uint32_t ifIndex,
                                     const std::vector<NetworkInUse>& inUse) {
    // A card's own subnets first: "the network of wlan0" says more than the
    // route the kernel made for it.
    for (const bool routed : {false, true}) {
        for (const auto& n : inUse) {
            if (n.routed != routed || n.ifIndex == ifIndex || n.prefix <= 0) continue;
            if (!Overlap(address, prefix, n.network, n.prefix)) continue;
            const std::string network = FormatIpv4(n.network & PrefixMask(n.prefix)) + "/" + std::to_string(n.prefix);
            return network + (routed ? " is routed through " : " is the network of ") + n.card +
                   "; reaching a camera there would disturb it";
        }
    }
    return {};
}

std::optional<RouteTarget> TemporaryAddressRoute(uint32_t address, int prefix, uint32_t camera, uint32_t ifIndex,
                                                 const RouteLookup& subnet, const RouteLookup& cameraRoute,
                                                 const std::vector<NetworkInUse>& inUse) {
    // A lookup sees the one route that wins for one address; a route to
    // another part of the subnet only shows in the listing.
    bool partTaken = false;
    for (const auto& n : inUse)
        if (n.routed && Within(n.network, n.prefix, address, prefix)) partTaken = true;
    if (subnet.result == RouteLookup::Result::NoRoute && !partTaken)
        return RouteTarget{address & PrefixMask(prefix), prefix};
    if (camera == 0) return std::nullopt;
    if (cameraRoute.result == RouteLookup::Result::Route) {
        if (cameraRoute.prefix == 32) return std::nullopt;
        if (!cameraRoute.viaGateway && cameraRoute.oif == ifIndex) return std::nullopt;
    }
    return RouteTarget{camera, 32};
}

}  // namespace orvanta::hostnet

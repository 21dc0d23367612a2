#include "core/onvif/device/CardSubnet.h"

#include "core/base/AddressText.h"

namespace orvanta::onvif {

std::optional<CardSubnet> CardSubnetOf(const hostnet::AdapterList& adapters, const DiscoveredOnvifDevice& device) {
    if (device.interfaceName.empty()) return std::nullopt;
    for (const hostnet::Adapter& a : adapters.adapters) {
        if (a.name != device.interfaceName || a.addresses.empty()) continue;
        const hostnet::AdapterAddress* chosen = &a.addresses.front();
        for (const hostnet::AdapterAddress& x : a.addresses)
            if (Ipv4HostOrder(x.address) == device.localAddress) chosen = &x;
        CardSubnet pc;
        pc.address = Ipv4HostOrder(chosen->address);
        pc.mask = Ipv4HostOrder(chosen->mask);
        if (!a.gateways.empty()) pc.gateway = Ipv4HostOrder(a.gateways.front());
        if (!a.dnsServers.empty()) pc.dns = Ipv4HostOrder(a.dnsServers.front());
        return pc;
    }
    return std::nullopt;
}

std::optional<WalkStart> FreeAddressWalk(const CardSubnet& pc, const OnvifDeviceState& camera) {
    // A /31 or /32 has no host to give away.
    if (!pc.known() || (~pc.mask) < 3) return std::nullopt;
    WalkStart w;
    w.source = Ipv4NetworkOrder(pc.address);
    w.mask = Ipv4NetworkOrder(pc.mask);
    uint32_t cam = 0;
    const bool inside = ParseIpv4HostOrder(camera.ipv4.address, cam) && (cam & pc.mask) == (pc.address & pc.mask);
    w.start = Ipv4NetworkOrder(inside ? cam : pc.address);
    ParseMac(camera.mac, w.mac);
    return w;
}

}  // namespace orvanta::onvif

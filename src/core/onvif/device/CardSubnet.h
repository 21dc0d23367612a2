// Where an ONVIF camera belongs on the PC's side: the subnet of the card it
// answered on (a camera on a second card belongs there, not in the subnet
// the wizard's own cameras use), with that card's gateway and DNS server;
// and where the ARP walk for a free address in it starts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/hostnet/HostNetwork.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

// Host order; 0 unknown.
struct CardSubnet {
    uint32_t address = 0, mask = 0, gateway = 0, dns = 0;
    bool known() const { return address != 0 && mask != 0; }
};

// The card of `device` in `adapters` (its address the one the reply came
// in on, when it has several); nullopt when that card is not listed.
std::optional<CardSubnet> CardSubnetOf(const hostnet::AdapterList& adapters, const DiscoveredOnvifDevice& device);

// Where FindFreeAddress starts (network order), as for our own cameras: the
// camera's own address when it already lies in the subnet (it is free for
// the camera), else the PC's address there (in use, so the walk goes on
// down from below the top host address). Nullopt when the subnet is unknown.
struct WalkStart {
    uint32_t start = 0, source = 0, mask = 0;  // network order
    std::array<uint8_t, 6> mac{};
};
std::optional<WalkStart> FreeAddressWalk(const CardSubnet& pc, const OnvifDeviceState& camera);

}  // namespace orvanta::onvif

// ARP questions about addresses: which address to propose to a camera, and
// whether one address is in use.
#pragma once

#include <array>
#include <cstdint>

#include "core/hostnet/HostNetwork.h"
#include "core/settings/CameraSettings.h"

namespace orvanta::hostnet {

// Walks down from `start` until an address no device answers for; an address
// the camera itself answers for three times is its own and is kept. Any other
// failure of the request gives back `start`.
uint32_t FindFreeAddress(HostNetwork& net, uint32_t start, uint32_t source, uint32_t mask,
                         const std::array<uint8_t, 6>& cameraMac);

// The camera-reading task's use of it: start at the camera's own address when
// that lies in the PC's subnet, else at the PC's address.
uint32_t FindFreeAddressForCamera(const CameraSettings& settings, HostNetwork& net);

// The single probe: true when a device answered for target. Any failure of
// the request counts as free.
bool ProbeAddressInUse(HostNetwork& net, uint32_t target, uint32_t source);

}  // namespace orvanta::hostnet

// The 8-byte search request the PC broadcasts: primary magic, type 1.
#pragma once

#include <array>
#include <cstdint>

#include "core/discovery/DiscoveryProtocol.h"

namespace orvanta::discovery {

struct DiscoveryRequest {
    std::array<uint8_t, kRequestSize> bytes;

    static DiscoveryRequest Build();
};

}  // namespace orvanta::discovery

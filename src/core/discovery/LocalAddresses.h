// The PC's own IPv4 addresses.
#pragma once

#include <cstdint>
#include <vector>

namespace orvanta::discovery {

// The IPv4 addresses (network byte order) of the interfaces that are up,
// loopback left out, in the order the system lists them. False when the
// interface list cannot be read or holds no such address.
bool LoadHostIPv4Addresses(std::vector<uint32_t>& addresses);

}  // namespace orvanta::discovery

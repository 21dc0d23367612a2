// The address ranges a search beyond the PC's own links goes through
// ("10.20.0.0/22,10.30.5.0/24"): read and checked before anything is sent,
// so a slip of the finger (a /8, a multicast group, the loopback network)
// is refused by name instead of flooding a network. Then thinned to the
// addresses worth asking: the PC's own addresses and its routers answer
// nothing a camera would, and a subnet's broadcast address would reach
// every host at once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/hostnet/HostNetwork.h"

namespace orvanta::onvif {

// More than this many addresses in one call is refused: a /16 at the
// default rate already takes over a minute.
inline constexpr uint64_t kMaxRangeAddresses = 65536;

struct AddressRange {
    uint32_t first = 0;   // host order
    uint32_t last = 0;    // host order, inclusive
    int prefix = 32;
    std::string text;     // as the user wrote it, for messages
};

// "A.B.C.D/P" or a bare address (a /32), several split by commas (spaces
// around them allowed). nullopt with `why` naming the range at fault when a
// range cannot be read, lies in multicast, loopback, "this network" (0/8)
// or the reserved 240/4 block, or when all together hold more than
// kMaxRangeAddresses addresses.
std::optional<std::vector<AddressRange>> ParseAddressRanges(std::string_view text, std::string& why);

// Every address of `ranges` worth a probe, in order, each once: a range
// wider than /31 loses its own network and broadcast addresses; every
// address of the PC, every router it uses (the default gateways of
// `adapters` and `routers`, host order) is left out, and so is the
// broadcast address of each of the PC's subnets. `skipped` counts what was
// left out for those reasons.
std::vector<uint32_t> AddressesToSurvey(const std::vector<AddressRange>& ranges,
                                        const std::vector<hostnet::Adapter>& adapters,
                                        const std::vector<uint32_t>& routers = {}, std::size_t* skipped = nullptr);

}  // namespace orvanta::onvif

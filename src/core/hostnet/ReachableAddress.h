// Reaching a device known only by its address (an ONVIF camera heard by
// WS-Discovery, or moved to an address we chose): the PC talks to it
// directly when the address lies in one of its subnets or answers through a
// router already; otherwise a temporary address in its subnet is added on
// the card it was heard on.
#pragma once

#include <string>

#include "core/hostnet/AddedAddresses.h"
#include "core/hostnet/HostNetwork.h"
#include "core/hostnet/TemporaryAddress.h"

namespace orvanta::hostnet {

// True when the PC can talk to `address` on `port`. `prefix` 0 when unknown
// (/16 for link-local, /24 otherwise); `card` "" for the PC's connection as
// the wizard picks it. Not thread-safe: callers hold their own lock around
// `net` and `added`.
bool EnsureAddressReachable(HostNetwork& net, AddedAddresses& added, const std::string& address, int prefix,
                            const std::string& port, const std::string& card, const AliasTiming& timing = {});

}  // namespace orvanta::hostnet

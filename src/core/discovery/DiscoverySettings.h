// Timing and environment of the discovery client. The defaults are the
// product's; tests shorten the waits and bring their own address list and
// clock instead of the host's.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "core/discovery/DiscoveryTransport.h"
#include "core/base/Diagnostics.h"

namespace orvanta::discovery {

// Fills the PC's IPv4 addresses (network byte order, loopback left out) and
// returns false when they cannot be had.
using LocalAddressSource = std::function<bool(std::vector<uint32_t>& addresses)>;
// A millisecond tick that wraps at 32 bits.
using TickSource = std::function<uint32_t()>;

struct DiscoverySettings {
    int resendIntervalSeconds = 7;
    int timeToLiveSeconds = 7;
    int waitCycles = 60;
    int waitMicroseconds = 5000;
    int initialRecordCapacity = 25;
    // Datagrams read from one socket in one wait cycle before moving on. A
    // stream that never lets the queue run dry (a flood, a looping device)
    // would otherwise keep a Search, and the window calling it, busy for
    // ever; what is left is read in the next cycle.
    int maxReadsPerCycle = 1024;
    // Receive buffer asked for on every receive socket, so that the burst of
    // replies from a large installation is not dropped before it is read.
    int receiveBufferBytes = 8 * 1024 * 1024;
    uint16_t port = 49160;
    LocalAddressSource localAddresses;  // empty: the host's (getifaddrs)
    TickSource now;                     // empty: the monotonic clock
    bool diagnostics = true;  // its diagnostic lines go to the diagnostic sink
    // Empty: UDP sockets on the host's network. Tests hand in a scripted
    // transport so that nothing leaves the process.
    std::shared_ptr<DiscoveryTransport> transport;
};

}  // namespace orvanta::discovery

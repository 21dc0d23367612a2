// ARP on an AF_PACKET socket bound to one interface (needs CAP_NET_RAW):
// a plain request for SendArp, and the RFC 5227 probe (sender address
// 0.0.0.0) for duplicate-address detection.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace orvanta::hostnet {

struct ArpOutcome {
    int error = 0;         // 0 or -errno of the socket work
    bool answered = false; // a device claimed the address
    std::array<uint8_t, 6> mac{};
};

class ArpSocket {
public:
    ArpSocket() = default;
    ~ArpSocket();
    ArpSocket(const ArpSocket&) = delete;
    ArpSocket& operator=(const ArpSocket&) = delete;

    // 0 or -errno (EPERM without CAP_NET_RAW).
    int Open(uint32_t ifIndex, const std::array<uint8_t, 6>& ownMac);

    // One request for target from source; waits up to waitMs for the reply.
    ArpOutcome Request(uint32_t target, uint32_t source, int waitMs);

    // One probe for `address`; within waitMs any other station that uses the
    // address or probes for it at the same time is a conflict.
    ArpOutcome Probe(uint32_t address, int waitMs);

private:
    int Send(uint32_t sender, uint32_t target);
    ArpOutcome Listen(uint32_t address, int waitMs, bool probing);

    int fd_ = -1;
    uint32_t ifIndex_ = 0;
    std::array<uint8_t, 6> ownMac_{};
};

}  // namespace orvanta::hostnet

// The host-part counter both address walks step through, and the top host
// address of a subnet. Bytes are taken in network order (first byte = first
// octet), so the walk reads .253, .252 ... in a /24 and x.y.255.253 ...
// x.y.255.1, x.y.254.254 ... in a /16.
#pragma once

#include <array>
#include <cstdint>

namespace orvanta::hostnet {

// (address AND mask) OR NOT mask, byte by byte, with a last byte of 255
// lowered to 254: the highest usable host of the subnet.
uint32_t TopHostAddress(uint32_t address, uint32_t mask);

class HostPartCounter {
public:
    explicit HostPartCounter(uint32_t mask);

    uint32_t Value() const;  // the host part, network byte order
    uint32_t Start() const;  // the value it started at

    // Steps one host down; false once the walk is exhausted. A last byte at 1
    // (or 0, in a /31 or /32 where there is nothing to step) wraps to its
    // start and borrows from the byte before it.
    bool StepDown();

private:
    std::array<uint8_t, 4> start_{};
    std::array<uint8_t, 4> bytes_{};
};

// The candidate after `candidate` in the walk: its network part with the
// counter's host part.
inline uint32_t WithHostPart(uint32_t candidate, uint32_t mask, uint32_t hostPart) {
    return (candidate & mask) | hostPart;
}

}  // namespace orvanta::hostnet

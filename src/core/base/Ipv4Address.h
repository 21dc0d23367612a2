// An IPv4 address as a value. Which byte order a number is in is this type's
// business: callers say which one they hand in or want out (the record and
// the sockets keep network order, arithmetic on the parts and the address
// control want the first part in the high byte), and text appears only at
// the edges: what a person types or reads, and what a camera sends as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

class Ipv4Address {
public:
    // 0.0.0.0.
    constexpr Ipv4Address() = default;
    static constexpr Ipv4Address FromHostOrder(uint32_t value) { return Ipv4Address(value); }
    static Ipv4Address FromNetworkOrder(uint32_t value);
    // Exactly four decimal parts 0..255 (see ParseIpv4); nothing otherwise.
    static std::optional<Ipv4Address> Parse(std::string_view text);
    // All ones: what the record has always held for an address it could not read.
    static constexpr Ipv4Address Broadcast() { return Ipv4Address(0xFFFFFFFFu); }

    constexpr uint32_t HostOrder() const { return value_; }
    uint32_t NetworkOrder() const;
    // "a.b.c.d".
    std::string Text() const;
    constexpr bool IsUnspecified() const { return value_ == 0; }
    // The first part (the top byte of the host order).
    constexpr unsigned FirstPart() const { return value_ >> 24; }

    // The network part under `mask`.
    constexpr Ipv4Address operator&(Ipv4Address mask) const { return Ipv4Address(value_ & mask.value_); }
    constexpr bool operator==(const Ipv4Address&) const = default;

private:
    explicit constexpr Ipv4Address(uint32_t hostOrder) : value_(hostOrder) {}
    uint32_t value_ = 0;  // host order
};

}  // namespace orvanta

// Dotted-quad and MAC text for the host-network code. Values are IPv4
// addresses in network byte order, as everywhere in hostnet.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvanta::hostnet {

std::string FormatIpv4(uint32_t address);

// Strict: exactly four decimal parts 0..255 without leading zeros, nothing
// before or after. Used for anything that crosses into the privileged
// helper, so no inet_addr leniency (octal, hex, short forms) here.
bool ParseIpv4(std::string_view text, uint32_t& address);

// Prefix length of a contiguous mask, or -1 when the mask has holes.
int MaskPrefix(uint32_t mask);
uint32_t PrefixMask(int prefix);

std::string FormatMac(const std::array<uint8_t, 6>& mac);
// Six two-digit hexadecimal groups separated by colons.
bool ParseMac(std::string_view text, std::array<uint8_t, 6>& mac);

}  // namespace orvanta::hostnet

// IPv4 and MAC addresses as text, both ways, for the whole system (the
// simulator included). Addresses are in network byte order unless a
// function's name says HostOrder.
//
// The parsers are strict: an IPv4 address is exactly four decimal parts
// 0..255 without leading zeros and nothing before or after; a MAC is six
// two-digit hexadecimal groups separated by colons. "010" would be octal to
// the C library and decimal to a person, and "10.1" a short form only the C
// library knows: text that can be read two ways is refused, not guessed at.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvanta {

// "a.b.c.d".
std::string FormatIpv4(uint32_t address);
std::string FormatIpv4HostOrder(uint32_t address);

bool ParseIpv4(std::string_view text, uint32_t& address);
bool ParseIpv4HostOrder(std::string_view text, uint32_t& address);

// The same address with its first part in the high byte, for arithmetic on
// its parts and for the address control; and back.
uint32_t Ipv4HostOrder(uint32_t address);
uint32_t Ipv4NetworkOrder(uint32_t hostOrder);

// The C library's classic reading (short forms "10.1", octal and hexadecimal
// parts), all ones for text it cannot read. Only for the one place whose
// readings of such text are pinned: the address control showing a record's
// text.
uint32_t Ipv4ClassicValue(const char* text);

// Prefix length of a contiguous mask, or -1 when the mask has holes.
int MaskPrefix(uint32_t mask);
uint32_t PrefixMask(int prefix);

enum class MacCase { Lower, Upper };

std::string FormatMac(const uint8_t* mac, MacCase letters = MacCase::Lower);
inline std::string FormatMac(const std::array<uint8_t, 6>& mac, MacCase letters = MacCase::Lower) {
    return FormatMac(mac.data(), letters);
}

// Either letter case. On failure `mac` is left as it was.
bool ParseMac(std::string_view text, uint8_t* mac);
inline bool ParseMac(std::string_view text, std::array<uint8_t, 6>& mac) { return ParseMac(text, mac.data()); }

}  // namespace orvanta

#include "core/base/AddressText.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace orvanta {

std::string FormatIpv4(uint32_t address) {
    uint8_t b[4];
    std::memcpy(b, &address, 4);
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[0], b[1], b[2], b[3]);
    return text;
}

std::string FormatIpv4HostOrder(uint32_t address) { return FormatIpv4(htonl(address)); }

uint32_t Ipv4HostOrder(uint32_t address) { return ntohl(address); }
uint32_t Ipv4NetworkOrder(uint32_t hostOrder) { return htonl(hostOrder); }

bool ParseIpv4(std::string_view text, uint32_t& address) {
    uint8_t b[4];
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.') return false;
            ++pos;
        }
        if (pos + 1 < text.size() && text[pos] == '0' && text[pos + 1] >= '0' && text[pos + 1] <= '9') return false;
        std::size_t digits = 0;
        unsigned value = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 3) {
            value = value * 10 + unsigned(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || value > 255) return false;
        b[part] = uint8_t(value);
    }
    if (pos != text.size()) return false;
    std::memcpy(&address, b, 4);
    return true;
}

bool ParseIpv4HostOrder(std::string_view text, uint32_t& address) {
    uint32_t net = 0;
    if (!ParseIpv4(text, net)) return false;
    address = ntohl(net);
    return true;
}

uint32_t Ipv4ClassicValue(const char* text) { return text == nullptr ? INADDR_NONE : inet_addr(text); }

int MaskPrefix(uint32_t mask) {
    const uint32_t host = ntohl(mask);
    int prefix = 0;
    while (prefix < 32 && (host & (0x80000000u >> prefix))) ++prefix;
    // Every bit after the first zero must be zero as well.
    if (prefix < 32 && (host << prefix) != 0) return -1;
    return prefix;
}

uint32_t PrefixMask(int prefix) {
    if (prefix <= 0) return 0;
    if (prefix >= 32) return 0xFFFFFFFFu;
    return htonl(0xFFFFFFFFu << (32 - prefix));
}

std::string FormatMac(const uint8_t* mac, MacCase letters) {
    const char* format = letters == MacCase::Upper ? "%02X:%02X:%02X:%02X:%02X:%02X" : "%02x:%02x:%02x:%02x:%02x:%02x";
    char text[18];
    std::snprintf(text, sizeof text, format, mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

bool ParseMac(std::string_view text, uint8_t* mac) {
    if (text.size() != 17) return false;
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    uint8_t bytes[6];
    for (int i = 0; i < 6; ++i) {
        const int hi = hex(text[i * 3]), lo = hex(text[i * 3 + 1]);
        if (hi < 0 || lo < 0) return false;
        if (i < 5 && text[i * 3 + 2] != ':') return false;
        bytes[i] = uint8_t(hi * 16 + lo);
    }
    std::memcpy(mac, bytes, sizeof bytes);
    return true;
}

}  // namespace orvanta

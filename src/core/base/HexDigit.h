// One hexadecimal digit's value, in either case; -1 for anything else.
// Shared by the MAC reader and the simulator's URL decoding.
#pragma once

namespace orvanta {

constexpr int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace orvanta

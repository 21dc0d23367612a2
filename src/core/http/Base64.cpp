#include "core/http/Base64.h"

namespace orvanta {

std::size_t Base64Encode(char* out, std::string_view text, std::size_t capacity) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    if (out == nullptr || capacity == 0) return 0;
    std::size_t n = 0;
    auto put = [&](char c) {
        if (n + 1 < capacity) out[n++] = c;
    };
    std::size_t i = 0;
    for (; i + 2 < text.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(text[i]) << 16) |
                           (static_cast<unsigned char>(text[i + 1]) << 8) | static_cast<unsigned char>(text[i + 2]);
        put(kAlphabet[(v >> 18) & 63]);
        put(kAlphabet[(v >> 12) & 63]);
        put(kAlphabet[(v >> 6) & 63]);
        put(kAlphabet[v & 63]);
    }
    const std::size_t rest = text.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(text[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(text[i + 1]) << 8;
        put(kAlphabet[(v >> 18) & 63]);
        put(kAlphabet[(v >> 12) & 63]);
        put(rest == 2 ? kAlphabet[(v >> 6) & 63] : '=');
        put('=');
    }
    out[n] = '\0';
    return n;
}

}  // namespace orvanta

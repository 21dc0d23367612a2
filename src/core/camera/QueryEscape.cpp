#include "core/camera/QueryEscape.h"

namespace orvanta {

std::string EscapeQueryValue(std::string_view value) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const char ch : value) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == ' ') {
            out += "%20";
        } else if (c < 0x20 || c == 0x7F || c == '&' || c == '=' || c == '#' || c == '%' || c == '+') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace orvanta

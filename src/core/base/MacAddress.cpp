#include "core/base/MacAddress.h"

#include <cstdio>

#include "core/base/HexDigit.h"

namespace orvanta {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Twelve hexadecimal digits with `separator` (0: none) after every
// `group` of them but the last.
std::optional<MacAddress> Grouped(std::string_view text, char separator, std::size_t group) {
    std::array<uint8_t, 6> bytes{};
    std::size_t digits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (separator && i % (group + 1) == group) {
            if (text[i] != separator) return std::nullopt;
            continue;
        }
        const int v = HexDigit(text[i]);
        if (v < 0 || digits == 12) return std::nullopt;
        bytes[digits / 2] = static_cast<uint8_t>(bytes[digits / 2] * 16 + v);
        ++digits;
    }
    if (digits != 12) return std::nullopt;
    return MacAddress(bytes);
}

}  // namespace

std::optional<MacAddress> MacAddress::Parse(std::string_view text) {
    text = Trimmed(text);
    if (text.size() == 12) return Grouped(text, 0, 12);
    if (text.size() == 14) return Grouped(text, '.', 4);
    if (text.size() == 17) {
        if (auto colon = Grouped(text, ':', 2)) return colon;
        return Grouped(text, '-', 2);
    }
    return std::nullopt;
}

std::string MacAddress::Text() const {
    char text[18];
    std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x", bytes_[0], bytes_[1], bytes_[2], bytes_[3],
                  bytes_[4], bytes_[5]);
    return text;
}

std::string MacText(std::string_view text) {
    if (const auto mac = MacAddress::Parse(text)) return mac->Text();
    return std::string(text);
}

bool SameMac(std::string_view a, std::string_view b) {
    const auto x = MacAddress::Parse(a), y = MacAddress::Parse(b);
    return x && y && *x == *y;
}

}  // namespace orvanta

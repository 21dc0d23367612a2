// Text from a camera or a server, made safe to print on a terminal: control
// bytes (escape sequences, tabs that would shift the columns) become '?'.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::cli {

inline std::string TerminalText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return out;
}

}  // namespace orvanta::cli

#include "FixedField.h"

#include <cstring>

namespace orvanta {

std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text.size();
    auto isContinuation = [&](std::size_t i) {
        return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    };
    if (!isContinuation(maxBytes)) return maxBytes;
    // The cut lands inside a multi-byte character: find its lead byte (at most
    // three continuation bytes back) and drop the whole character. Bytes that
    // do not form UTF-8 (8-bit code-page text) are cut at the width as they are.
    std::size_t lead = maxBytes;
    for (int steps = 0; steps < 3 && lead > 0 && isContinuation(lead); ++steps) --lead;
    const unsigned char b = static_cast<unsigned char>(text[lead]);
    const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    if (length == 0 || lead + length <= maxBytes) return maxBytes;
    return lead;
}

void CopyToField(char* dst, std::size_t width, std::string_view text) {
    if (width == 0 || dst == nullptr) return;
    const std::size_t len = Utf8PrefixLength(text, width - 1);
    if (len > 0) std::memcpy(dst, text.data(), len);  // an empty view may carry a null pointer
    dst[len] = '\0';
}

}  // namespace orvanta

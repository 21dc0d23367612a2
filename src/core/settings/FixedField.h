// Copying text into the record's fixed-width fields. A field of width N holds
// at most N-1 bytes and is always terminated; a cut never splits a UTF-8
// character, so what lands in a field is always valid text again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvanta {

// Length of the longest prefix of `text` that fits in `maxBytes` bytes
// without ending inside a UTF-8 sequence.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes);

// Copies `text` into `dst` (capacity `width` bytes), cut to width-1 bytes at a
// character boundary and NUL-terminated. Does nothing when width is 0.
void CopyToField(char* dst, std::size_t width, std::string_view text);

template <std::size_t N>
void SetField(char (&dst)[N], std::string_view text) {
    CopyToField(dst, N, text);
}

// The text of a field up to its terminator (or its width, should it lack one).
template <std::size_t N>
std::string_view FieldText(const char (&src)[N]) {
    std::size_t len = 0;
    while (len < N && src[len] != '\0') ++len;
    return std::string_view(src, len);
}

}  // namespace orvanta

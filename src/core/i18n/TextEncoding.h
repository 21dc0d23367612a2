// Conversions between the encodings INI files come in and the UTF-8 the rest
// of the program uses. Bytes that do not decode become U+FFFD, so the output
// is always valid UTF-8 whatever the input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvanta {

bool IsValidUtf8(std::string_view bytes);

// UTF-8 with every malformed sequence replaced by U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// UTF-16 code units (no byte-order mark) to UTF-8. A lone surrogate becomes
// U+FFFD; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian);

// The Windows-1252 code page (Latin-1 plus the 0x80-0x9F punctuation).
std::string Windows1252ToUtf8(std::string_view bytes);
// Returns false (and leaves *out unspecified) when a character has no
// Windows-1252 byte.
bool Utf8ToWindows1252(std::string_view utf8, std::string* out);

// Byte length of the first `maxChars` characters of UTF-8 text.
std::size_t Utf8PrefixChars(std::string_view utf8, std::size_t maxChars);

}  // namespace orvanta

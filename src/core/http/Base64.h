#pragma once

#include <cstddef>
#include <string_view>

namespace orvanta {

// Writes the standard Base64 form of `text` into `out` (room for `capacity`
// bytes including the terminator). Characters that do not fit are dropped;
// the output is always terminated. Returns the length written.
std::size_t Base64Encode(char* out, std::string_view text, std::size_t capacity);

}  // namespace orvanta

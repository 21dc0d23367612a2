// Base64 (RFC 4648, standard alphabet, padded): HTTP Basic credentials, and
// the nonces and digests of ONVIF logins.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta {

std::string Base64Encode(std::string_view bytes);

// Blanks and line ends are passed over; nullopt for anything else that is
// not Base64 or a length that is not whole groups.
std::optional<std::string> Base64Decode(std::string_view text);

// The same form written into `out` (room for `capacity` bytes including the
// terminator). Characters that do not fit are dropped; the output is always
// terminated. Returns the length written.
std::size_t Base64Encode(char* out, std::string_view text, std::size_t capacity);

}  // namespace orvanta

// HTTP Basic authentication (RFC 7617), the login our own cameras' CGI pages
// take on every request.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvanta {

// The Authorization header's value: "Basic " and Base64 of "user:password".
std::string BasicAuthorization(std::string_view user, std::string_view password);

// The length of the Base64 part for credentials of `credentialBytes` bytes
// ("user:password"), so a caller with a fixed header buffer can refuse
// credentials before encoding them.
constexpr std::size_t BasicEncodedLength(std::size_t credentialBytes) { return (credentialBytes + 2) / 3 * 4; }

}  // namespace orvanta

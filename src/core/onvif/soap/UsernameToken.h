// WS-Security UsernameToken with PasswordDigest, the login ONVIF cameras
// expect: Base64(SHA-1(nonce + created + password)), a fresh 16-byte nonce
// for every request (cameras keep a replay cache) and Created in UTC on the
// camera's own clock, so a camera whose clock is far off still accepts it.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta::onvif {

// `count` bytes from getrandom(); nullopt when the kernel gives none.
std::optional<std::string> RandomBytes(std::size_t count);

// "2010-09-16T07:50:45.123Z": UTC with milliseconds.
std::string CreatedText(std::chrono::system_clock::time_point at);

// Base64(SHA-1(nonce + created + password)), `nonce` as raw bytes.
std::string PasswordDigest(std::string_view nonce, std::string_view created, std::string_view password);

// The whole <wsse:Security> header element for one request signed at
// `cameraNow`; nullopt when no nonce could be drawn.
std::optional<std::string> SecurityHeader(std::string_view user, std::string_view password,
                                          std::chrono::system_clock::time_point cameraNow);

}  // namespace orvanta::onvif

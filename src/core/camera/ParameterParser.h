// Taking values out of the camera's "Key=value" replies into the record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/settings/ParameterGroup.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// Finds `key` (for example "IPAddr=") in `reply`, only where it starts the text
// or follows a character that cannot be part of a key name, so "IPAddr="
// never matches inside "WIPAddr=". Returns the position just past the key, or
// npos when absent.
std::size_t FindKey(std::string_view reply, std::string_view key);

// One value by key. A missing key, or a key followed by CR, LF or the end of
// the text, leaves the field as it was and returns false.
// Numbers: a signed decimal, leading blanks skipped; one-byte fields keep the
// low 8 bits. Text: up to CR, LF or the end, cut to width-1 bytes at a UTF-8
// character boundary.
bool ExtractValue(uint8_t& field, std::string_view key, std::string_view reply);
bool ExtractValue(int32_t& field, std::string_view key, std::string_view reply);
bool ExtractValue(uint32_t& field, std::string_view key, std::string_view reply);
bool ExtractValue(char* field, std::size_t width, std::string_view key, std::string_view reply);
template <std::size_t N>
bool ExtractValue(char (&field)[N], std::string_view key, std::string_view reply) {
    return ExtractValue(field, N, key, reply);
}

// Copies the keys of one group (a page or the Time selector) from a reply
// into the record; the group's text fields are emptied first.
void ParseParameters(CameraSettings& settings, std::string_view reply, ParameterGroup group);

}  // namespace orvanta

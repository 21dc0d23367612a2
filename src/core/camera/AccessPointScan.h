// The camera's scan of the access points it sees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/base/Deadline.h"
#include "core/http/HttpResult.h"
#include "core/http/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

struct AccessPointEntry {
    uint8_t Channel;
    char Mac_address[64];
    char SSID[64];
    uint8_t Quality;
    char Mode[64];
    char Security[64];
    char Algorithm[64];
};
static_assert(sizeof(AccessPointEntry) == 322, "the scan page relies on the fixed entry layout");

// Cells longer than this are cut here.
inline constexpr std::size_t kApCellCapacity = 2047;
// A reply of 6144 bytes cannot describe more access points than this; a
// larger announced count is capped, so a wild count never makes the parser
// look at more cells.
inline constexpr uint32_t kMaxAccessPoints = 512;

// One value of one cell: like ExtractValue, except that a key followed by a
// space is also absent, values end at a space or "<" as well, and "SSID=" is
// quoted (the opening quote is skipped, the value ends at the closing one and
// may hold spaces).
bool ExtractApValue(uint8_t& field, std::string_view key, std::string_view cell);
bool ExtractApValue(char* field, std::size_t width, std::string_view key, std::string_view cell);
template <std::size_t N>
bool ExtractApValue(char (&field)[N], std::string_view key, std::string_view cell) {
    return ExtractApValue(field, N, key, cell);
}

// Turns a scan reply (after the status checks) into entries: one per cell
// that describes an access point, among the cells the announced count
// covers. Sets `APScanOK`, and `APCount` to the number of entries; returns
// false when the reply carries no scan result.
bool ParseAccessPointReply(CameraSettings& settings, std::string_view reply,
                           std::vector<AccessPointEntry>& list);

// Asks the camera for its scan. The list gets `APCount` entries (the access
// points the reply describes), or none on failure or zero access points; `APScanOK` says whether the camera answered
// with a scan result. `result` (optional) receives the request's HttpResult
// (TimedOut once `deadline` passed).
std::vector<AccessPointEntry> ScanAccessPoints(const TransportSettings& limits, const Deadline& deadline,
                                               CameraSettings& settings, HttpResult* result = nullptr);

}  // namespace orvanta

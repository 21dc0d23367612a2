// Reading and writing the camera's parameter groups, one HTTP request each.
#pragma once

#include "core/http/HttpResult.h"
#include "core/http/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// Reads one group (page number or kSelectorTime) into the record. Returns the
// reply length, or -1..-9; on failure the group's fields stay as they were.
HttpResult ReadParameters(const TransportSettings& limits, CameraSettings& settings, int group);

// The system-page read right after the login dialog: does not look for
// "Unauthorized" and parses even an empty reply (result 0).
HttpResult ReadSysinfoAuth(const TransportSettings& limits, CameraSettings& settings);

// Writes one group (kPageSysinfo, kPageDdns, kSelectorTime, kPageNetwork for
// the full network form, kSelectorNetworkShort for the short one). Returns
// the reply length or -1..-6, -9. `requestSent` (optional) tells whether the
// request went out whole, which a timed-out write does not say by itself.
HttpResult WriteParameters(const TransportSettings& limits, CameraSettings& settings, int group,
                           bool* requestSent = nullptr);

}  // namespace orvanta

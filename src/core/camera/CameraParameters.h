// Reading and writing the camera's parameter groups, one HTTP request each.
#pragma once

#include "core/settings/ParameterGroup.h"
#include "core/http/HttpResult.h"
#include "core/http/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// Reads one group (a page or the Time selector) into the record: the reply
// length when Ok; on failure the group's fields stay as they were.
HttpResult ReadParameters(const TransportSettings& limits, CameraSettings& settings, ParameterGroup group);

// The system-page read right after the login dialog: does not look for
// "Unauthorized" and parses even an empty reply (result 0).
HttpResult ReadSysinfoAuth(const TransportSettings& limits, CameraSettings& settings);

// Writes one group (Sysinfo, Ddns, Time, Network for the full network form,
// NetworkShort for the short one): the reply length when Ok; never
// NoWpaKeyMode or Unauthorized. `requestSent` (optional) tells whether the
// request went out whole, which a timed-out write does not say by itself.
HttpResult WriteParameters(const TransportSettings& limits, CameraSettings& settings, ParameterGroup group,
                           bool* requestSent = nullptr);

}  // namespace orvanta

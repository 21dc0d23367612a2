// Reading and writing the camera's parameter groups, one HTTP request each.
#pragma once

#include "core/base/Deadline.h"
#include "core/settings/ParameterGroup.h"
#include "core/http/HttpResult.h"
#include "core/http/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// Each request ends by `deadline` (TimedOut past it).

// Reads one group (a page or the Time selector) into the record: the reply
// length when Ok; on failure the group's fields stay as they were.
HttpResult ReadParameters(const TransportSettings& limits, const Deadline& deadline, CameraSettings& settings,
                          ParameterGroup group);

// The system-page read right after the login dialog: does not look for
// "Unauthorized" and parses even an empty reply (result 0).
HttpResult ReadSysinfoAuth(const TransportSettings& limits, const Deadline& deadline, CameraSettings& settings);

// What a parameter write's reply said, beyond its result.
struct WriteAnswer {
    HttpResult result;
    bool sent = false;  // the request went out whole, which a timed-out write does not say by itself
    int code = 0;       // the reply's HTTP status code, 0 without a status line
};

// Writes one group (ParameterGroup::Sysinfo, ParameterGroup::Ddns, ParameterGroup::Time, ParameterGroup::Network for
// the full network form, ParameterGroup::NetworkShort for the short one). The
// camera took it only when its reply has a 2xx status line: 401 is
// Unauthorized, any other status (or no status line) a failure.
WriteAnswer WriteParameters(const TransportSettings& limits, const Deadline& deadline, CameraSettings& settings,
                            ParameterGroup group);

}  // namespace orvanta

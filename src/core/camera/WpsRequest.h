#pragma once

#include <string_view>

#include "core/base/Deadline.h"
#include "core/http/HttpResult.h"
#include "core/http/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

enum class WpsAction { Start, Status };

// Start: sends the push-button request; Ok with the bytes sent (the reply
// is not read), else ConnectFailed or SendFailed. Status: queries the
// progress into `WPSState` and `WPSAck`; Ok with the reply length, else a
// status up to Failure; TimedOut once `deadline` passed.
HttpResult WpsRequest(const TransportSettings& limits, const Deadline& deadline, CameraSettings& settings,
                      WpsAction action);

// Stores "WPS=" and "WPS_ACK=" of a status reply; a missing key keeps the old value.
void ParseWpsStatus(CameraSettings& settings, std::string_view reply);

}  // namespace orvanta

#pragma once

#include <string_view>

#include "core/http/HttpResult.h"
#include "core/http/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

enum class WpsAction { Start, Status };

// Start: sends the push-button request and returns the bytes sent (the reply
// is not read), or -1/-2. Status: queries the progress into `WPSState` and
// `WPSAck` and returns the reply length, or -1..-6.
HttpResult WpsRequest(const TransportSettings& limits, CameraSettings& settings, WpsAction action);

// Stores "WPS=" and "WPS_ACK=" of a status reply; a missing key keeps the old value.
void ParseWpsStatus(CameraSettings& settings, std::string_view reply);

}  // namespace orvanta

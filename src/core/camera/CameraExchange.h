// One request/reply round trip with the camera named by the record: connect,
// send, receive, close. Shared by the read, write, scan and WPS requests.
#pragma once

#include <cstddef>
#include <string>

#include "core/camera/HttpResult.h"
#include "core/camera/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// Returns the reply length (0 allowed only when `requireReply` is false),
// -1 on connect (also when cancelled), -2 when nothing was sent, -3 when no reply arrived. `reply`
// must hold capacity + 1 bytes and is terminated. With `skipReceive` the
// connection is closed after sending and the sent count is returned.
// -9 when the overall deadline passed, or a reply stopped short of the length
// it announced. `requestSent` (optional) is set when the whole request went out.
HttpResult ExchangeWithCamera(const TransportSettings& limits, const CameraSettings& settings,
                              const std::string& request, char* reply, std::size_t capacity, bool requireReply,
                              bool skipReceive = false, bool* requestSent = nullptr);

}  // namespace orvanta

// One request/reply round trip with the camera named by the record: connect,
// send, receive, close. Shared by the read, write, scan and WPS requests.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/base/Deadline.h"
#include "core/http/HttpResult.h"
#include "core/http/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// What one round trip sends and where its answer goes.
struct CameraExchange {
    std::string_view request;
    // Must hold capacity + 1 bytes; terminated after the reply.
    char* reply = nullptr;
    std::size_t capacity = 0;
    // An empty reply is then NoReply rather than Ok with length 0.
    bool requireReply = true;
    // Close the connection once sent; the sent count is the result's length.
    bool skipReceive = false;
    // Optional: set when the whole request went out.
    bool* requestSent = nullptr;
};

// Ok with the reply length; ConnectFailed on connect (also when cancelled),
// SendFailed when nothing was sent, NoReply when no reply arrived, TimedOut
// when `deadline` (or the limits' overall bound, counted from here) passed
// or a reply stopped short of the length it announced.
HttpResult ExchangeWithCamera(const TransportSettings& limits, const Deadline& deadline, const CameraSettings& settings,
                              const CameraExchange& exchange);

}  // namespace orvanta

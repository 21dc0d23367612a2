#include "core/camera/WpsRequest.h"

#include <memory>
#include <string>

#include "core/camera/CameraExchange.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/ParameterParser.h"

namespace orvanta {

void ParseWpsStatus(CameraSettings& settings, std::string_view reply) {
    ExtractValue(settings.WPSState, "WPS=", reply);
    ExtractValue(settings.WPSAck, "WPS_ACK=", reply);
}

HttpResult WpsRequest(const TransportSettings& limits, CameraSettings& settings, WpsAction action) {
    std::string request;
    auto reply = std::make_unique<char[]>(kSmallReplyCapacity + 1);
    if (action == WpsAction::Start) {
        if (!BuildWpsStartRequest(settings, request)) return kHttpSendFailed;
        // The camera's answer to the start is never examined: its progress
        // shows in the status queries.
        return ExchangeWithCamera(limits, settings, request, reply.get(), kSmallReplyCapacity, false, true);
    }
    if (!BuildWpsStatusRequest(settings, request)) return kHttpSendFailed;
    const HttpResult n = ExchangeWithCamera(limits, settings, request, reply.get(), kSmallReplyCapacity, true);
    if (n < 0) return n;
    const std::string_view text(reply.get(), static_cast<std::size_t>(n));
    const HttpResult check = CheckReply(text, false, false);
    if (check < 0) return check;
    ParseWpsStatus(settings, text);
    return n;
}

}  // namespace orvanta

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

HttpResult WpsRequest(const TransportSettings& limits, const Deadline& deadline, CameraSettings& settings,
                      WpsAction action) {
    std::string request;
    auto reply = std::make_unique<char[]>(kSmallReplyCapacity + 1);
    if (action == WpsAction::Start) {
        if (!BuildWpsStartRequest(settings, request)) return HttpStatus::SendFailed;
        // The camera's answer to the start is never examined: its progress
        // shows in the status queries.
        return ExchangeWithCamera(limits, deadline, settings,
                                  {.request = request,
                                   .reply = reply.get(),
                                   .capacity = kSmallReplyCapacity,
                                   .requireReply = false,
                                   .skipReceive = true});
    }
    if (!BuildWpsStatusRequest(settings, request)) return HttpStatus::SendFailed;
    const HttpResult n = ExchangeWithCamera(
        limits, deadline, settings, {.request = request, .reply = reply.get(), .capacity = kSmallReplyCapacity});
    if (n.Failed()) return n;
    const std::string_view text(reply.get(), n.length);
    const HttpStatus check = CheckReply(text, false, false);
    if (check != HttpStatus::Ok) return check;
    ParseWpsStatus(settings, text);
    return n;
}

}  // namespace orvanta

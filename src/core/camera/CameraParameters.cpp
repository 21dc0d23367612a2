#include "core/camera/CameraParameters.h"

#include <memory>
#include <string>
#include <string_view>

#include "core/camera/CameraExchange.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/ParameterParser.h"

namespace orvanta {

HttpResult ReadParameters(const TransportSettings& limits, CameraSettings& settings, ParameterGroup group) {
    std::string request;
    if (!BuildParameterRequest(settings, ParameterAction::Read, group, request)) return HttpStatus::SendFailed;
    auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
    const HttpResult n =
        ExchangeWithCamera(limits, settings, {.request = request, .reply = reply.get(), .capacity = kReplyCapacity});
    if (n.Failed()) return n;
    const std::string_view text(reply.get(), n.length);
    const HttpStatus check = CheckReply(text, true, group == ParameterGroup::Network);
    if (check != HttpStatus::Ok) return check;
    ParseParameters(settings, text, group);
    return n;
}

HttpResult ReadSysinfoAuth(const TransportSettings& limits, CameraSettings& settings) {
    std::string request;
    if (!BuildSysinfoAuthRequest(settings, request)) return HttpStatus::SendFailed;
    auto reply = std::make_unique<char[]>(kSmallReplyCapacity + 1);
    const HttpResult n = ExchangeWithCamera(
        limits, settings,
        {.request = request, .reply = reply.get(), .capacity = kSmallReplyCapacity, .requireReply = false});
    if (n.Failed()) return n;
    const std::string_view text(reply.get(), n.length);
    const HttpStatus check = CheckReply(text, false, false);
    if (check != HttpStatus::Ok) return check;
    ParseParameters(settings, text, ParameterGroup::Sysinfo);
    return n;
}

HttpResult WriteParameters(const TransportSettings& limits, CameraSettings& settings, ParameterGroup group,
                           bool* requestSent) {
    if (requestSent) *requestSent = false;
    std::string request;
    if (!BuildParameterRequest(settings, ParameterAction::Write, group, request)) return HttpStatus::SendFailed;
    auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
    const HttpResult n = ExchangeWithCamera(
        limits, settings,
        {.request = request, .reply = reply.get(), .capacity = kReplyCapacity, .requestSent = requestSent});
    if (n.Failed()) return n;
    const HttpStatus check = CheckReply(std::string_view(reply.get(), n.length), false, false);
    return check != HttpStatus::Ok ? HttpResult(check) : n;
}

}  // namespace orvanta

#include "core/camera/CameraParameters.h"

#include <memory>
#include <string>
#include <string_view>

#include "core/camera/CameraExchange.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/ParameterParser.h"

namespace orvanta {

HttpResult ReadParameters(const TransportSettings& limits, CameraSettings& settings, int group) {
    std::string request;
    if (!BuildParameterRequest(settings, kActRead, group, request)) return kHttpSendFailed;
    auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
    const HttpResult n = ExchangeWithCamera(limits, settings, request, reply.get(), kReplyCapacity, true);
    if (n < 0) return n;
    const std::string_view text(reply.get(), static_cast<std::size_t>(n));
    const HttpResult check = CheckReply(text, true, group == kPageNetwork);
    if (check < 0) return check;
    ParseParameters(settings, text, group);
    return n;
}

HttpResult ReadSysinfoAuth(const TransportSettings& limits, CameraSettings& settings) {
    std::string request;
    if (!BuildSysinfoAuthRequest(settings, request)) return kHttpSendFailed;
    auto reply = std::make_unique<char[]>(kSmallReplyCapacity + 1);
    const HttpResult n = ExchangeWithCamera(limits, settings, request, reply.get(), kSmallReplyCapacity, false);
    if (n < 0) return n;
    const std::string_view text(reply.get(), static_cast<std::size_t>(n));
    const HttpResult check = CheckReply(text, false, false);
    if (check < 0) return check;
    ParseParameters(settings, text, kPageSysinfo);
    return n;
}

HttpResult WriteParameters(const TransportSettings& limits, CameraSettings& settings, int group,
                           bool* requestSent) {
    if (requestSent) *requestSent = false;
    std::string request;
    if (!BuildParameterRequest(settings, kActWrite, group, request)) return kHttpSendFailed;
    auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
    const HttpResult n =
        ExchangeWithCamera(limits, settings, request, reply.get(), kReplyCapacity, true, false, requestSent);
    if (n < 0) return n;
    const HttpResult check = CheckReply(std::string_view(reply.get(), static_cast<std::size_t>(n)), false, false);
    return check < 0 ? check : n;
}

}  // namespace orvanta

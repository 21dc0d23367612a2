#include "core/camera/CameraParameters.h"

#include <memory>
#include <string>
#include <string_view>

#include "core/camera/CameraExchange.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/ParameterParser.h"
#include "core/http/HttpHead.h"

namespace orvanta {

HttpResult ReadParameters(const TransportSettings& limits, const Deadline& deadline, CameraSettings& settings,
                          ParameterGroup group) {
    std::string request;
    if (!BuildParameterRequest(settings, ParameterAction::Read, group, request)) return HttpStatus::SendFailed;
    auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
    const HttpResult n =
        ExchangeWithCamera(limits, deadline, settings, {.request = request, .reply = reply.get(), .capacity = kReplyCapacity});
    if (n.Failed()) return n;
    const std::string_view text(reply.get(), n.length);
    const HttpStatus check = CheckReply(text, true, group == ParameterGroup::Network);
    if (check != HttpStatus::Ok) return check;
    ParseParameters(settings, text, group);
    return n;
}

HttpResult ReadSysinfoAuth(const TransportSettings& limits, const Deadline& deadline, CameraSettings& settings) {
    std::string request;
    if (!BuildSysinfoAuthRequest(settings, request)) return HttpStatus::SendFailed;
    auto reply = std::make_unique<char[]>(kSmallReplyCapacity + 1);
    const HttpResult n = ExchangeWithCamera(
        limits, deadline, settings,
        {.request = request, .reply = reply.get(), .capacity = kSmallReplyCapacity, .requireReply = false});
    if (n.Failed()) return n;
    const std::string_view text(reply.get(), n.length);
    const HttpStatus check = CheckReply(text, false, false);
    if (check != HttpStatus::Ok) return check;
    ParseParameters(settings, text, ParameterGroup::Sysinfo);
    return n;
}

WriteAnswer WriteParameters(const TransportSettings& limits, const Deadline& deadline, CameraSettings& settings,
                            ParameterGroup group) {
    WriteAnswer answer;
    std::string request;
    if (!BuildParameterRequest(settings, ParameterAction::Write, group, request)) {
        answer.result = HttpStatus::SendFailed;
        return answer;
    }
    auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
    const HttpResult n = ExchangeWithCamera(
        limits, deadline, settings,
        {.request = request, .reply = reply.get(), .capacity = kReplyCapacity, .requestSent = &answer.sent});
    answer.result = n;
    if (n.Failed()) return answer;
    const std::string_view text(reply.get(), n.length);
    answer.code = ReplyStatusCode(text);
    // The status texts name what they can (also in the body of a 200); a
    // reply without a 2xx status line is no confirmation either.
    HttpStatus check = answer.code == 401 ? HttpStatus::Unauthorized : CheckReply(text, false, false);
    if (check == HttpStatus::Ok && (answer.code < 200 || answer.code > 299)) check = HttpStatus::Failure;
    if (check != HttpStatus::Ok) answer.result = check;
    return answer;
}

}  // namespace orvanta

#include "core/onvif/soap/SoapTransport.h"

#include <algorithm>
#include <memory>

#include "core/http/HttpTransport.h"
#include "core/onvif/soap/OnvifXml.h"
#include "core/base/Diagnostics.h"

namespace orvanta::onvif {

namespace {

// A SOAP body at its limit plus a generous header block.
constexpr std::size_t kReplyCapacity = kMaxXmlBytes + 64 * 1024;

}  // namespace

TransportSettings CallLimits(const OnvifCallSettings& settings) {
    TransportSettings t;
    t.connectWaitMs = settings.connectLimitMs;
    t.connectAttempts = 1;
    t.receiveLimitMs = settings.overallLimitMs;
    t.sendSliceMs = 250;
    t.sendAttempts = std::max(1, settings.overallLimitMs / 250);
    t.overallLimitMs = settings.overallLimitMs;
    return t;
}

std::string SoapHttpRequest(const ServiceUrl& url, std::string_view action, std::string_view envelope,
                            std::string_view authorization) {
    std::string r = "POST " + url.path + " HTTP/1.1\r\nHost: " + url.host + (url.port == "80" ? "" : ":" + url.port) +
                    "\r\nContent-Type: application/soap+xml; charset=utf-8; action=\"" + std::string(action) +
                    "\"\r\nContent-Length: " + std::to_string(envelope.size()) + "\r\nConnection: close\r\n";
    if (!authorization.empty()) r += "Authorization: " + std::string(authorization) + "\r\n";
    r += "\r\n";
    r += envelope;
    return r;
}

Deadline CallDeadline(const OnvifCallSettings& settings) {
    // One call is bounded on its own; inside a command's time limit the
    // earlier deadline governs.
    return settings.within.Earlier(Deadline::After(settings.overallLimitMs));
}

OnvifResult PostSoap(const OnvifCallSettings& settings, const ServiceUrl& url, std::string_view action,
                     std::string_view envelope, std::string_view authorization, HttpReply& reply) {
    return PostSoap(settings, CallDeadline(settings), url, action, envelope, authorization, reply);
}

OnvifResult PostSoap(const OnvifCallSettings& settings, const Deadline& deadline, const ServiceUrl& url,
                     std::string_view action, std::string_view envelope, std::string_view authorization,
                     HttpReply& reply) {
    const TransportSettings limits = CallLimits(settings);
    const std::string where = url.host + ":" + url.port;
    int fd = -1;
    if (ConnectPlain(limits, deadline, url.host.c_str(), url.port.c_str(), fd) != 0) {
        if (deadline.Passed()) return {OnvifStatus::TimedOut, "no connection to " + where + " in time"};
        return {OnvifStatus::Unreachable, "no connection to " + where + " (refused, unreachable or timed out)"};
    }
    const std::string request = SoapHttpRequest(url, action, envelope, authorization);
    const int sent = SendHttpRequest(limits, deadline, fd, request.data(), request.size());
    if (sent <= 0 || static_cast<std::size_t>(sent) != request.size()) {
        CloseSocket(fd);
        if (deadline.Passed()) return {OnvifStatus::TimedOut, "the request to " + where + " was not sent in time"};
        return {OnvifStatus::Unreachable, "the request could not be sent to " + where};
    }
    auto buffer = std::make_unique<char[]>(kReplyCapacity + 1);
    const ReceivedReply got = ReceiveReply(limits, deadline, fd, buffer.get(), kReplyCapacity);
    CloseSocket(fd);
    const std::string_view raw(buffer.get(), got.length);
    Diagnostic("ONVIF %s at %s: %zu reply bytes", std::string(action.substr(action.rfind('/') + 1)).c_str(),
               where.c_str(), got.length);
    if (got.end == ReceiveEnd::BufferFull)
        return {OnvifStatus::BadReply, "the reply of " + where + " is larger than " + std::to_string(kReplyCapacity) + " bytes"};
    const bool outOfTime = got.end == ReceiveEnd::OverallLimit || got.end == ReceiveEnd::RequestLimit;
    // A reply still coming when time ran out proves nothing, whatever part
    // of it arrived: HTTP/1.1 replies say where they end, and we asked for
    // the connection to be closed after it.
    if (outOfTime) return {OnvifStatus::TimedOut, "the reply of " + where + " did not end in time"};
    if (got.length == 0) return {OnvifStatus::Unreachable, where + " closed the connection without a reply"};
    switch (ParseHttpReply(raw, reply)) {
        case HttpReplyState::Ok:
            return {};
        case HttpReplyState::CutShort:
            return {OnvifStatus::BadReply, "the reply of " + where + " stopped short of its announced length"};
        case HttpReplyState::Malformed:
            return {OnvifStatus::BadReply, "the reply of " + where + " has an unreadable length or chunk"};
        case HttpReplyState::NotHttp:
            break;
    }
    return {OnvifStatus::BadReply, where + " did not answer in HTTP"};
}

}  // namespace orvanta::onvif

#include "core/onvif/soap/SoapTransport.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <memory>

#include "core/http/HttpTransport.h"
#include "core/onvif/soap/OnvifXml.h"
#include "core/base/Diagnostics.h"

namespace orvanta::onvif {

namespace {

// A SOAP body at its limit plus a generous header block.
constexpr std::size_t kReplyCapacity = kMaxXmlBytes + 64 * 1024;
// How long a reused connection may stay silent before the call goes out
// again on a fresh one.
constexpr int kReusedFirstByteMs = 3000;

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
                            std::string_view authorization, bool keepOpen) {
    std::string r = "POST " + url.path + " HTTP/1.1\r\nHost: " + url.host + (url.port == "80" ? "" : ":" + url.port) +
                    "\r\nContent-Type: application/soap+xml; charset=utf-8; action=\"" + std::string(action) +
                    "\"\r\nContent-Length: " + std::to_string(envelope.size()) + "\r\n" +
                    (keepOpen ? "" : "Connection: close\r\n");
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
                     std::string_view envelope, std::string_view authorization, HttpReply& reply,
                     SoapConnections* connections) {
    return PostSoap(settings, CallDeadline(settings), url, action, envelope, authorization, reply, connections);
}

OnvifResult PostSoap(const OnvifCallSettings& settings, const Deadline& deadline, const ServiceUrl& url,
                     std::string_view action, std::string_view envelope, std::string_view authorization,
                     HttpReply& reply, SoapConnections* connections) {
    const TransportSettings limits = CallLimits(settings);
    const std::string where = url.host + ":" + url.port;
    const std::string request = SoapHttpRequest(url, action, envelope, authorization, connections != nullptr);
    auto buffer = std::make_unique<char[]>(kReplyCapacity + 1);
    ReceivedReply got;
    int fd = connections ? connections->Take(url.host, url.port) : -1;
    for (bool reused = fd >= 0;; reused = false) {
        if (fd < 0 && ConnectPlain(limits, deadline, url.host.c_str(), url.port.c_str(), fd) != 0) {
            if (deadline.Passed()) return {OnvifStatus::TimedOut, "no connection to " + where + " in time"};
            return {OnvifStatus::Unreachable, "no connection to " + where + " (refused, unreachable or timed out)"};
        }
        const int sent = SendHttpRequest(limits, deadline, fd, request.data(), request.size());
        // Firmware that keeps a connection open but never answers on it
        // again is given a few seconds on it, not the whole call.
        // A camera that writes its reply's header and body apart waits for
        // our ACK of the header before it sends the body (Nagle's rule); a
        // delayed ACK would hold every call on a kept connection 40 ms.
        const int on = 1;
        (void)::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        TransportSettings wait = limits;
        if (reused) wait.receiveLimitMs = std::min(wait.receiveLimitMs, kReusedFirstByteMs);
        if (sent > 0 && static_cast<std::size_t>(sent) == request.size())
            got = ReceiveReply(wait, deadline, fd, buffer.get(), kReplyCapacity);
        // A kept connection the camera closed while it lay idle (or left
        // deaf): nothing of the request was answered, so it goes again on a
        // fresh one. Only reads are sent on kept connections, so a second
        // sending changes nothing.
        if (reused && (sent <= 0 || static_cast<std::size_t>(sent) != request.size() ||
                       (got.length == 0 && (got.end == ReceiveEnd::Closed || got.end == ReceiveEnd::RequestLimit)))) {
            CloseSocket(fd);
            fd = -1;
            continue;
        }
        if (sent <= 0 || static_cast<std::size_t>(sent) != request.size()) {
            CloseSocket(fd);
            if (deadline.Passed()) return {OnvifStatus::TimedOut, "the request to " + where + " was not sent in time"};
            return {OnvifStatus::Unreachable, "the request could not be sent to " + where};
        }
        break;
    }
    const std::string_view raw(buffer.get(), got.length);
    // Kept for the next call only after a whole reply that leaves it open.
    bool keep = false;
    if (connections && got.end == ReceiveEnd::Complete && !got.cutShort) {
        HttpReply head;
        std::string connection = ParseHttpReply(raw, head) == HttpReplyState::Ok ? head.Value("Connection") : "close";
        std::transform(connection.begin(), connection.end(), connection.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        keep = connection.find("close") == std::string::npos && raw.substr(0, 9) == "HTTP/1.1 ";
    }
    if (keep) connections->Give(url.host, url.port, fd);
    else CloseSocket(fd);
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

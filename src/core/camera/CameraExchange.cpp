#include "core/camera/CameraExchange.h"

#include "core/http/HttpTransport.h"

namespace orvanta {

HttpResult ExchangeWithCamera(const TransportSettings& limits, const Deadline& within, const CameraSettings& settings,
                              const CameraExchange& exchange) {
    const std::string_view request = exchange.request;
    // A request on its own is bounded like a whole operation; inside one,
    // the caller's earlier deadline governs.
    const Deadline deadline = within.Earlier(Deadline::After(limits.overallLimitMs));
    int fd = -1;
    if (ConnectCamera(limits, deadline, settings, settings.CamIP, settings.CamPort, fd) != 0)
        return deadline.Passed() ? HttpStatus::TimedOut : HttpStatus::ConnectFailed;
    const int sent = SendHttpRequest(limits, deadline, fd, request.data(), request.size());
    if (exchange.requestSent) *exchange.requestSent = sent > 0 && static_cast<std::size_t>(sent) == request.size();
    if (sent <= 0) {
        CloseSocket(fd);
        return deadline.Passed() ? HttpStatus::TimedOut : HttpStatus::SendFailed;
    }
    if (exchange.skipReceive) {
        CloseSocket(fd);
        return HttpResult::Received(static_cast<std::size_t>(sent));
    }
    const ReceivedReply got = ReceiveReply(limits, deadline, fd, exchange.reply, exchange.capacity, &settings);
    CloseSocket(fd);
    switch (got.end) {
        // Out of time, part of a reply proves nothing: a drip-fed page cut in
        // the middle would otherwise be parsed as if it were all the camera has.
        case ReceiveEnd::OverallLimit: return HttpStatus::TimedOut;
        // A reply still in its header, or short of the length it promised,
        // when its own limit passed is cut short. Without a length, what came
        // is the reply of a camera that merely keeps the connection open.
        case ReceiveEnd::RequestLimit:
            if (got.cutShort) return HttpStatus::TimedOut;
            break;
        // Without a length, the camera fell quiet after a body that ends at
        // a line end: the reply is whole by the rule every caller shares.
        case ReceiveEnd::Quiet: break;
        // Given up on by the window: nobody waits for this answer any more.
        case ReceiveEnd::Cancelled: return HttpStatus::ConnectFailed;
        default: break;
    }
    if (got.length == 0 && exchange.requireReply) return HttpStatus::NoReply;
    return HttpResult::Received(got.length);
}

}  // namespace orvanta

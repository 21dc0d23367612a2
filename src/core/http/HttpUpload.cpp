#include "core/http/HttpUpload.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "core/http/HttpTransport.h"

namespace orvanta {

namespace {

// One slice of the file per send: large enough that a fast link is not
// held up by system calls, small enough that progress moves smoothly and
// an early answer is noticed soon.
constexpr std::size_t kSlice = 64 * 1024;
// A reply to an upload is a status and a short text; anything longer is
// cut here and read as far as it came.
constexpr std::size_t kReplyCapacity = 64 * 1024;
constexpr int kSendBuffer = 256 * 1024;

int PollOnce(int fd, short events, int timeoutMs, short& revents) {
    pollfd p{fd, events, 0};
    int r;
    do {
        r = poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    revents = p.revents;
    return r;
}

// Reads whatever reply the server sent (it may have answered early and
// closed); true when it is an HTTP reply.
bool ReadReply(int fd, const Deadline& deadline, int limitMs, HttpReply& reply) {
    TransportSettings t;
    t.receiveLimitMs = limitMs;
    t.replyQuietMs = 500;
    auto buffer = std::make_unique<char[]>(kReplyCapacity + 1);
    const ReceivedReply got = ReceiveReply(t, deadline, fd, buffer.get(), kReplyCapacity);
    if (got.length == 0) return false;
    const HttpReplyState state = ParseHttpReply(std::string_view(buffer.get(), got.length), reply);
    // A reply cut inside its body still says what the server decided.
    return state == HttpReplyState::Ok || (state == HttpReplyState::CutShort && reply.status != 0);
}

}  // namespace

const char* UploadEndName(UploadEnd end) {
    switch (end) {
        case UploadEnd::Answered: return "answered";
        case UploadEnd::AnsweredEarly: return "answered before the whole image was sent";
        case UploadEnd::NoConnection: return "no connection";
        case UploadEnd::Cut: return "the connection broke during the upload";
        case UploadEnd::Stalled: return "the upload stalled";
        case UploadEnd::NoReply: return "no reply after the upload";
        case UploadEnd::FileFailed: return "the file could not be read";
        case UploadEnd::Cancelled: return "cancelled";
    }
    return "?";
}

std::string UploadRequestHead(const UploadTarget& target, std::uint64_t contentLength) {
    std::string r = "POST " + target.path + " HTTP/1.1\r\nHost: " + target.host +
                    (target.port == "80" ? "" : ":" + target.port) + "\r\nContent-Type: " + target.contentType +
                    "\r\nContent-Length: " + std::to_string(contentLength) + "\r\nConnection: close\r\n";
    for (const auto& [name, value] : target.extraHeaders) r += name + ": " + value + "\r\n";
    if (!target.authorization.empty()) r += "Authorization: " + target.authorization + "\r\n";
    return r + "\r\n";
}

UploadOutcome PostUpload(const UploadLimits& limits, const Deadline& deadline, const UploadTarget& target,
                         const UploadBody& body, const UploadProgress& progress) {
    UploadOutcome out;
    TransportSettings connect;
    connect.connectWaitMs = limits.connectMs;
    connect.connectAttempts = 1;
    int fd = -1;
    if (ConnectPlain(connect, deadline, target.host.c_str(), target.port.c_str(), fd) != 0) {
        out.detail = "no connection to " + target.host + ":" + target.port;
        return out;
    }
    // A modest send buffer: what the kernel has taken is then close to what
    // the camera has, so progress (and the count reported when the
    // connection breaks) is not megabytes ahead of the truth.
    const int sendBuffer = kSendBuffer;
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
    const std::string head = UploadRequestHead(target, body.Size()) + body.head;
    const std::uint64_t total = body.Size();
    const std::uint64_t requestTotal = head.size() - body.head.size() + total;
    std::uint64_t offset = 0;  // of the whole request, header block included
    auto slice = std::make_unique<char[]>(kSlice);
    auto stallEnd = Deadline::After(limits.stallMs);

    // The bytes of the request from `at`, at most kSlice: the header block
    // and head, the file, the tail.
    const auto fill = [&](std::uint64_t at, std::size_t& length) -> bool {
        const std::uint64_t fileStart = head.size(), fileEnd = fileStart + body.fileSize;
        if (at < fileStart) {
            length = std::min<std::uint64_t>(kSlice, fileStart - at);
            std::memcpy(slice.get(), head.data() + at, length);
        } else if (at < fileEnd) {
            const std::size_t want = std::min<std::uint64_t>(kSlice, fileEnd - at);
            ssize_t n;
            do {
                n = pread(body.fileFd, slice.get(), want, static_cast<off_t>(at - fileStart));
            } while (n < 0 && errno == EINTR);
            if (n <= 0) return false;
            length = static_cast<std::size_t>(n);
        } else {
            length = std::min<std::uint64_t>(kSlice, fileEnd + body.tail.size() - at);
            std::memcpy(slice.get(), body.tail.data() + (at - fileEnd), length);
        }
        return true;
    };

    const auto finish = [&](UploadEnd end, std::string detail) {
        out.end = end;
        out.detail = std::move(detail);
        out.bodySent = offset > head.size() - body.head.size() ? offset - (head.size() - body.head.size()) : 0;
        CloseSocket(fd);
        return out;
    };

    std::size_t pending = 0, pendingAt = 0;  // what the last fill holds, and how much of it went out
    while (offset < requestTotal) {
        if (limits.cancelled && limits.cancelled()) return finish(UploadEnd::Cancelled, "cancelled");
        if (deadline.Passed() || stallEnd.Passed())
            return finish(UploadEnd::Stalled, deadline.Passed() ? "the time for the upload ran out"
                                                                : "the camera took no data for " +
                                                                      std::to_string(limits.stallMs / 1000) + " s");
        short revents = 0;
        const int r = PollOnce(fd, POLLOUT | POLLIN, deadline.Earlier(stallEnd).NextWaitMs(250), revents);
        if (r < 0) return finish(UploadEnd::Cut, std::strerror(errno));
        if (r == 0) continue;
        if (revents & POLLIN) {
            // An answer before the body is all there: the server has decided.
            if (ReadReply(fd, deadline, 5000, out.reply)) return finish(UploadEnd::AnsweredEarly, "");
            return finish(UploadEnd::Cut, "the camera closed the connection");
        }
        if (revents & (POLLERR | POLLHUP)) return finish(UploadEnd::Cut, "the connection was closed or reset");
        if (!(revents & POLLOUT)) continue;
        if (pendingAt == pending) {
            if (!fill(offset, pending)) return finish(UploadEnd::FileFailed, "the file ended early or could not be read");
            pendingAt = 0;
        }
        const ssize_t n = send(fd, slice.get() + pendingAt, pending - pendingAt, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
        if (n <= 0) {
            const std::string why = n < 0 ? std::strerror(errno) : "nothing was taken";
            // A server that refuses mid-body often replies and resets: its
            // reply may still be readable.
            if (ReadReply(fd, deadline, 1000, out.reply)) return finish(UploadEnd::AnsweredEarly, "");
            return finish(UploadEnd::Cut, why);
        }
        pendingAt += static_cast<std::size_t>(n);
        offset += static_cast<std::uint64_t>(n);
        stallEnd = Deadline::After(limits.stallMs);
        if (progress && offset >= head.size() - body.head.size())
            progress(offset - (head.size() - body.head.size()), total);
    }
    out.bodySent = total;
    if (!ReadReply(fd, deadline, limits.replyMs, out.reply)) {
        out.end = UploadEnd::NoReply;
        out.detail = "the camera sent no reply after the image";
    } else {
        out.end = UploadEnd::Answered;
    }
    CloseSocket(fd);
    return out;
}

}  // namespace orvanta

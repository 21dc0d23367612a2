#include "core/http/HttpTransport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "core/http/ReplyLength.h"
#include "core/base/Diagnostics.h"
#include "core/base/AddressText.h"

namespace orvanta {

namespace {

bool SetNonBlocking(int fd, bool on) {
    const int flags = fcntl(fd, F_GETFL, 0);
    if (flags < 0) return false;
    return fcntl(fd, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK)) == 0;
}

bool SetLinger(int fd, int seconds) {
    linger l{};
    l.l_onoff = 1;
    l.l_linger = seconds;
    return setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l) == 0;
}

// poll() for one event, retried on EINTR. >0 ready, 0 timed out, <0 failed.
int WaitFor(int fd, short events, int timeoutMs, short* revents = nullptr) {
    pollfd p{fd, events, 0};
    int r;
    do {
        r = poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (revents) *revents = p.revents;
    return r;
}

bool ConnectSucceeded(int fd) {
    int err = 0;
    socklen_t len = sizeof err;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0;
}

// Port text as the camera record holds it; anything but 1..65535 is refused.
bool ParsePort(const char* text, uint16_t& port) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v <= 0 || v > 65535) return false;
    port = static_cast<uint16_t>(v);
    return true;
}

// The connect shared by the camera and the plain form; `settings` is null
// for the plain one.
int Connect(const TransportSettings& limits, const Deadline& deadline, const CameraSettings* settings, const char* host,
            const char* portText, int& socketOut) {
    uint16_t port = 0;
    if (!ParsePort(portText, port)) return -1;
    // A worker that has been given up on, or a sequence out of time, must not
    // start another request.
    if (settings && !KeepConnectingNow(*settings)) return -1;
    if (deadline.Passed()) return -1;
    const std::optional<uint32_t> address = ResolveHost(host);
    if (!address || *address == 0) return -1;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = *address;
    if (!SetNonBlocking(fd, true)) {
        close(fd);
        return -1;
    }
    bool connected = false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) {
        connected = true;
    } else if (errno != EINPROGRESS) {
        close(fd);
        return -1;
    } else {
        for (int attempt = 0; attempt < limits.connectAttempts; ++attempt) {
            if (settings && !KeepConnectingNow(*settings)) break;
            const int waitMs = deadline.NextWaitMs(limits.connectWaitMs);
            if (waitMs == 0 && deadline.Passed()) break;
            const int r = WaitFor(fd, POLLOUT, waitMs);
            if (r < 0) break;
            if (r > 0) {
                // Writable also means "failed" on POSIX (refused): only a clear
                // SO_ERROR counts as connected.
                connected = ConnectSucceeded(fd);
                break;
            }
        }
    }
    if (!connected || !SetNonBlocking(fd, false)) {
        close(fd);
        return -1;
    }
    SetLinger(fd, 1);
    socketOut = fd;
    return 0;
}

}  // namespace

bool KeepConnectingNow(const CameraSettings& settings) {
    return std::atomic_ref<uint8_t>(const_cast<uint8_t&>(settings.KeepConnecting)).load(std::memory_order_relaxed) !=
           0;
}

void SetKeepConnecting(CameraSettings& settings, bool keep) {
    std::atomic_ref<uint8_t>(settings.KeepConnecting).store(keep ? 1 : 0, std::memory_order_relaxed);
}

std::optional<uint32_t> ResolveHost(const char* name) {
    if (name == nullptr || *name == '\0') name = "127.0.0.1";
    if (std::isalpha(static_cast<unsigned char>(name[0]))) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* result = nullptr;
        if (getaddrinfo(name, nullptr, &hints, &result) != 0 || result == nullptr) return std::nullopt;
        const uint32_t address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr.s_addr;
        freeaddrinfo(result);
        return address;
    }
    uint32_t parsed = 0;
    if (!ParseIpv4(name, parsed)) {
        Diagnostic("The IPv4 address entered must be a legal address");
        return std::nullopt;
    }
    // A dotted address is used as it stands: a reverse lookup would only add
    // a DNS round trip whose answer changes nothing.
    return parsed;
}

int ProbeInternet(const TransportSettings& limits, const char* host, int port) {
    if (port <= 0 || port > 65535) return -1;
    const std::optional<uint32_t> address = ResolveHost(host);
    if (!address || *address == 0) return -1;
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (!SetNonBlocking(fd, true) || !SetLinger(fd, 3)) {
        close(fd);
        return -1;
    }
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<uint16_t>(port));
    sa.sin_addr.s_addr = *address;
    int result = -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) {
        result = 0;
    } else if (errno == EINPROGRESS) {
        for (int attempt = 0; attempt < limits.probeAttempts; ++attempt) {
            const int r = WaitFor(fd, POLLIN | POLLOUT, limits.probeSliceMs);
            if (r < 0) break;
            if (r > 0) {
                result = ConnectSucceeded(fd) ? 0 : -1;
                break;
            }
        }
    }
    close(fd);
    return result;
}

int ConnectCamera(const TransportSettings& limits, const Deadline& deadline, const CameraSettings& settings,
                  const char* host, const char* port, int& socketOut) {
    return Connect(limits, deadline, &settings, host, port, socketOut);
}

int ConnectPlain(const TransportSettings& limits, const Deadline& deadline, const char* host, const char* port,
                 int& socketOut) {
    return Connect(limits, deadline, nullptr, host, port, socketOut);
}

int SendHttpRequest(const TransportSettings& limits, const Deadline& overall, int socket, const char* request,
                    std::size_t length) {
    if (request == nullptr || length == 0) return 0;
    std::size_t sent = 0;
    for (int attempt = 0; attempt < limits.sendAttempts && sent < length; ++attempt) {
        if (overall.Passed()) break;
        short revents = 0;
        const int r = WaitFor(socket, POLLOUT, overall.NextWaitMs(limits.sendSliceMs), &revents);
        if (r < 0) {
            Diagnostic("request not sent: waiting for the connection failed: %s", std::strerror(errno));
            break;
        }
        if (r == 0) {
            Diagnostic("request not sent yet: the connection took nothing within the wait; trying again");
            continue;
        }
        if (!(revents & POLLOUT)) {
            if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
                Diagnostic("request not sent: the connection failed or was closed");
                break;
            }
            continue;
        }
        const ssize_t n = send(socket, request + sent, length - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            // The rest of a short send goes out on the next turn instead of
            // leaving the camera with half a request.
            sent += static_cast<std::size_t>(n);
        } else {
            Diagnostic("request send failed: %s", n < 0 ? std::strerror(errno) : "nothing was taken");
        }
    }
    return static_cast<int>(sent);
}

ReceivedReply ReceiveReply(const TransportSettings& limits, const Deadline& overall, int socket, char* buffer,
                           std::size_t capacity, const CameraSettings* cancel) {
    ReceivedReply got;
    if (buffer == nullptr) {
        got.end = ReceiveEnd::Failed;
        return got;
    }
    std::memset(buffer, 0, capacity + 1);
    // One reply's own limit and the caller's deadline: every wait counts
    // down to the earlier of the two from the same clock.
    const Deadline own = Deadline::After(std::max(limits.receiveLimitMs, 1));
    const Deadline deadline = own.Earlier(overall);
    std::size_t total = 0;
    std::optional<std::size_t> announced;
    // When silence ends a reply without a length; Never until one may.
    Deadline quietEnd = Deadline::Never();
    for (;;) {
        if (announced && total >= *announced) {
            got.end = ReceiveEnd::Complete;
            break;
        }
        if (total >= capacity) {
            got.end = ReceiveEnd::BufferFull;
            break;
        }
        if (cancel && !KeepConnectingNow(*cancel)) {
            got.end = ReceiveEnd::Cancelled;
            break;
        }
        if (quietEnd.Passed()) {
            got.end = ReceiveEnd::Quiet;
            break;
        }
        if (deadline.Passed()) {
            got.end = overall.Passed() ? ReceiveEnd::OverallLimit : ReceiveEnd::RequestLimit;
            break;
        }
        const int r = WaitFor(socket, POLLIN, deadline.Earlier(quietEnd).NextWaitMs(limits.receiveSliceMs));
        if (r < 0) {
            got.end = ReceiveEnd::Failed;
            break;
        }
        if (r == 0) continue;
        const ssize_t n = recv(socket, buffer + total, capacity - total, MSG_DONTWAIT);
        if (n > 0) {
            total += static_cast<std::size_t>(n);
            const std::string_view soFar(buffer, total);
            if (!announced) announced = AnnouncedReplyLength(soFar);
            quietEnd = !announced && limits.replyQuietMs > 0 && ReplyBodyAtLineEnd(soFar)
                           ? Deadline::After(limits.replyQuietMs)
                           : Deadline::Never();
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            continue;
        } else {
            got.end = ReceiveEnd::Closed;  // closed by the camera, or reset
            break;
        }
    }
    buffer[total] = '\0';
    got.length = total;
    got.cutShort = (announced.has_value() && total < *announced) || InsideReplyHeader(std::string_view(buffer, total));
    return got;
}

int ReceiveHttpResponse(const TransportSettings& limits, const Deadline& deadline, int socket, char* buffer,
                        std::size_t capacity) {
    return static_cast<int>(ReceiveReply(limits, deadline, socket, buffer, capacity).length);
}

void CloseSocket(int socket) {
    if (socket >= 0) close(socket);
}

}  // namespace orvanta

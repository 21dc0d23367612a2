#include "core/onvif/search/UnicastProbe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/onvif/device/DeviceReplies.h"
#include "core/onvif/device/DeviceRequests.h"
#include "core/onvif/search/WsdProbe.h"
#include "core/onvif/soap/SoapEnvelope.h"
#include "core/onvif/soap/SoapReply.h"
#include "core/onvif/soap/SoapTransport.h"
#include "core/onvif/search/ProbeMatchReader.h"
#include "core/base/Diagnostics.h"
#include "core/base/AddressText.h"

namespace orvanta::onvif {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kStopSlice{2};

// Port 80 answers an anonymous GetSystemDateAndTime as a device service.
bool AnswersOnPort80(const std::string& address, std::chrono::milliseconds limit, const OnvifCallSettings& call) {
    OnvifCallSettings quick = call;
    quick.connectLimitMs = std::min<int>(quick.connectLimitMs, static_cast<int>(limit.count()));
    quick.overallLimitMs = std::min<int>(quick.overallLimitMs, static_cast<int>(limit.count()));
    const SoapCall clock = DeviceCall("GetSystemDateAndTime");
    HttpReply http;
    if (!PostSoap(quick, ServiceUrl{address}, clock.action, SoapEnvelope("", clock.body), "", http).ok()) return false;
    SoapReply reply;
    CameraDateTime time;
    return http.status == 200 && ReadSoapReply(http.body, reply).ok() && ReadSystemDateAndTime(reply.body, time);
}

// Closes the socket on every way out.
struct Socket {
    int fd = -1;
    ~Socket() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

std::optional<ProbedService> ProbeDeviceService(const std::string& address, std::chrono::milliseconds limit,
                                                const std::function<bool()>& stop) {
    uint32_t host = 0;
    if (!ParseIpv4HostOrder(address, host)) return std::nullopt;
    Socket s;
    s.fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s.fd < 0) return std::nullopt;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(kDiscoveryPort);
    to.sin_addr.s_addr = htonl(host);
    // Not connected: devices answer from a port of their own choosing, not
    // from 3702. IP_RECVERR still turns a closed discovery port (ICMP port
    // unreachable) into ECONNREFUSED at once, instead of a wait to the end.
    const int one = 1;
    (void)::setsockopt(s.fd, IPPROTO_IP, IP_RECVERR, &one, sizeof one);
    const auto sendProbe = [&](const std::string& bytes) {
        return ::sendto(s.fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    };
    const std::string messageId = NewMessageId();
    const std::string probe = BuildProbe(messageId);
    const auto end = Clock::now() + limit;
    // Sent twice, the second a third of the way in: UDP may drop one, and a
    // repeat of the same MessageID is answered once.
    auto resendAt = Clock::now() + limit / 3;
    bool resent = false;
    if (sendProbe(probe) < 0 && errno != EINTR) {
        Diagnostic("onvif: probe to %s not sent: %s", address.c_str(), std::strerror(errno));
        return std::nullopt;
    }
    static thread_local char buffer[kMaxDiscoveryMessageBytes + 1];
    for (;;) {
        const auto now = Clock::now();
        if (now >= end || (stop && stop())) return std::nullopt;
        if (!resent && now >= resendAt) {
            (void)sendProbe(probe);
            resent = true;
        }
        // In slices, so that a caller that no longer needs the answer is
        // heard within one.
        const auto until = std::min({resent ? end : resendAt, end, now + kStopSlice});
        pollfd p{s.fd, POLLIN, 0};
        const int wait = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1);
        const int ready = ::poll(&p, 1, wait);
        if (ready < 0 && errno != EINTR) return std::nullopt;
        if (ready <= 0) continue;
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n =
            ::recvfrom(s.fd, buffer, sizeof buffer, MSG_TRUNC, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            // ICMP port unreachable: nothing listens for probes there.
            if (errno == ECONNREFUSED)
                Diagnostic("onvif: %s does not take WS-Discovery probes (port %u closed)", address.c_str(),
                           kDiscoveryPort);
            return std::nullopt;
        }
        // Only the address asked speaks for itself.
        if (ntohl(from.sin_addr.s_addr) != host || static_cast<std::size_t>(n) > kMaxDiscoveryMessageBytes) continue;
        std::string why;
        const std::optional<DiscoveryMessage> message =
            ReadDiscoveryMessage(std::string_view(buffer, static_cast<std::size_t>(n)), &why);
        if (!message || message->kind != DiscoveryKind::ProbeMatches) {
            Diagnostic("onvif: answer of %s to a probe refused: %s", address.c_str(),
                       message ? "not a ProbeMatch" : why.c_str());
            continue;
        }
        for (const DiscoveryAnnouncement& a : message->devices) {
            DiscoveredOnvifDevice device;
            device.endpoint = a.endpoint;
            device.xaddrs = a.xaddrs;
            device.replyFrom = host;
            if (const std::optional<ServiceUrl> url = DeviceServiceOf(device)) {
                Diagnostic("onvif: %s announces its device service at %s", address.c_str(),
                           FormatServiceUrl(*url).c_str());
                return ProbedService{*url, a.endpoint};
            }
        }
    }
}

std::optional<ProbedService> LocateDeviceService(const std::string& address, std::chrono::milliseconds limit,
                                                 const OnvifCallSettings& call) {
    std::mutex mutex;
    std::condition_variable changed;
    std::optional<ProbedService> probed;
    bool probeDone = false, webDone = false, webAnswered = false;
    std::atomic<bool> stop{false};
    std::thread probe([&] {
        std::optional<ProbedService> r = ProbeDeviceService(address, limit, [&] { return stop.load(); });
        const std::lock_guard lock(mutex);
        probed = std::move(r);
        probeDone = true;
        changed.notify_all();
    });
    std::thread web([&] {
        const bool r = AnswersOnPort80(address, limit, call);
        const std::lock_guard lock(mutex);
        webAnswered = r;
        webDone = true;
        changed.notify_all();
    });
    std::optional<ProbedService> found;
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return (probeDone && probed) || webAnswered || (probeDone && webDone); });
        if (probed) found = probed;
        else if (webAnswered) found = ProbedService{ServiceUrl{address}, {}};
    }
    stop = true;
    probe.join();
    web.join();
    return found;
}

}  // namespace orvanta::onvif

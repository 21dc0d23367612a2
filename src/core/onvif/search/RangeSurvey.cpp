#include "core/onvif/search/RangeSurvey.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/errqueue.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <future>
#include <map>
#include <unordered_map>

#include "core/base/AddressText.h"
#include "core/base/Diagnostics.h"
#include "core/hostnet/NetworksInUse.h"
#include "core/hostnet/linux/NetlinkInventory.h"
#include "core/hostnet/linux/NetlinkSocket.h"
#include "core/onvif/device/DeviceReplies.h"
#include "core/onvif/device/DeviceRequests.h"
#include "core/onvif/search/ProbeMatchReader.h"
#include "core/onvif/search/WsdProbe.h"
#include "core/onvif/soap/SoapEnvelope.h"
#include "core/onvif/soap/SoapReply.h"
#include "core/onvif/soap/SoapTransport.h"

namespace orvanta::onvif {

namespace {

using Clock = std::chrono::steady_clock;

struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f) : fd(f) {}
    Fd(Fd&& o) noexcept : fd(std::exchange(o.fd, -1)) {}
    Fd& operator=(Fd&& o) noexcept {
        std::swap(fd, o.fd);
        return *this;
    }
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

// Sending at no more than the rate asked, in small bursts: a token a
// packet, refilled with time, never more than a tenth of a second's worth
// saved up (a burst of a thousand SYNs is what drops at a router).
class PacketBudget {
public:
    explicit PacketBudget(int perSecond) : rate_(std::max(1, perSecond)), burst_(std::max(1.0, rate_ / 10.0)) {}
    bool Take(Clock::time_point now) {
        tokens_ = std::min(burst_, tokens_ + std::chrono::duration<double>(now - last_).count() * rate_);
        last_ = now;
        if (tokens_ < 1.0) return false;
        tokens_ -= 1.0;
        return true;
    }
    // When the next token is there.
    Clock::time_point Next(Clock::time_point now) const {
        if (tokens_ >= 1.0) return now;
        return now + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>((1.0 - tokens_) / rate_));
    }

private:
    double rate_, burst_;
    double tokens_ = 1.0;
    Clock::time_point last_ = Clock::now();
};

enum class Phase { Waiting, Probing, Ports, Done };

struct AddressState {
    uint32_t address = 0;  // host order
    Phase phase = Phase::Waiting;
    int probesSent = 0;
    std::size_t portsTried = 0;   // connection attempts begun
    std::size_t portsOpen = 0;    // attempts still under way (or being checked)
    bool answered = false;
    std::string messageId;
};

struct Attempt {
    Fd fd;
    std::size_t index = 0;   // into the address states
    std::string port;
    Clock::time_point endAt;
};

sockaddr_in Ipv4Socket(uint32_t address, uint16_t port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(address);
    return to;
}

// An anonymous GetSystemDateAndTime answered as a device service does: the
// port serves ONVIF, whatever else it serves.
bool AnswersAsDeviceService(const ServiceUrl& url, const OnvifCallSettings& call) {
    const SoapCall clock = DeviceCall("GetSystemDateAndTime");
    HttpReply http;
    if (!PostSoap(call, url, clock.action, SoapEnvelope("", clock.body), "", http).ok()) return false;
    SoapReply reply;
    CameraDateTime time;
    return http.status == 200 && ReadSoapReply(http.body, reply).ok() && ReadSystemDateAndTime(reply.body, time);
}

class Survey {
public:
    Survey(const std::vector<uint32_t>& addresses, const RangeSurveySettings& s, RangeSurveyReport& report)
        : s_(s), report_(report), budget_(s.packetsPerSecond), openLimit_(OpenLimit(s)) {
        states_.reserve(addresses.size());
        for (const uint32_t a : addresses) {
            index_.emplace(a, states_.size());
            AddressState state;
            state.address = a;
            states_.push_back(std::move(state));
        }
    }

    std::vector<DiscoveredOnvifDevice> Run() {
        udp_ = Fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (udp_.fd < 0) {
            report_.why = std::string("no probe socket: ") + std::strerror(errno);
            return {};
        }
        // A closed discovery port (ICMP port unreachable) and a host a router
        // could not reach come back as errors on the socket: the first sends
        // that address to its ports at once, the second ends it.
        const int one = 1;
        (void)::setsockopt(udp_.fd, IPPROTO_IP, IP_RECVERR, &one, sizeof one);
        const int buffer = 4 << 20;
        (void)::setsockopt(udp_.fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
        report_.ran = true;
        report_.asked = states_.size();
        while (!Finished()) {
            const auto now = Clock::now();
            if (s_.within.Passed(now) || (s_.stop && s_.stop())) break;
            Expire(now);
            Send(now);
            Wait(now);
        }
        report_.complete = Finished();
        for (auto& check : checks_) check.second.wait();
        for (auto& check : checks_) Checked(check.first, check.second.get());
        for (DiscoveredOnvifDevice& d : devices_) Place(d);
        return std::move(devices_);
    }

private:
    static std::size_t OpenLimit(const RangeSurveySettings& s) {
        long want = s.openConnections > 0
                        ? s.openConnections
                        : static_cast<long>(s.packetsPerSecond) * static_cast<long>(s.connectWait.count()) / 1000 + 16;
        rlimit files{};
        if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY)
            want = std::min<long>(want, static_cast<long>(files.rlim_cur) - 64);
        return static_cast<std::size_t>(std::max(8L, want));
    }

    bool Finished() const { return done_ == states_.size() && checks_.empty(); }

    void Finish(AddressState& a) {
        if (a.phase == Phase::Done) return;
        a.phase = Phase::Done;
        ++done_;
    }

    // Timers that ran out: a probe to repeat, a probe that stayed
    // unanswered, a connection attempt that never completed.
    void Expire(Clock::time_point now) {
        while (!retries_.empty() && retries_.front().first <= now) {
            const std::size_t i = retries_.front().second;
            retries_.pop_front();
            AddressState& a = states_[i];
            if (a.phase != Phase::Probing || a.answered) continue;
            probeQueue_.push_back(i);
        }
        while (!silences_.empty() && silences_.front().first <= now) {
            const std::size_t i = silences_.front().second;
            silences_.pop_front();
            ToPorts(states_[i]);
        }
        for (auto it = attempts_.begin(); it != attempts_.end();) {
            if (it->endAt > now) {
                ++it;
                continue;
            }
            AddressState& a = states_[it->index];
            it = attempts_.erase(it);
            PortClosed(a);
        }
        // Port checks that have come back.
        for (auto it = checks_.begin(); it != checks_.end();) {
            if (it->second.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
                ++it;
                continue;
            }
            Checked(it->first, it->second.get());
            it = checks_.erase(it);
        }
    }

    void ToPorts(AddressState& a) {
        if (a.phase != Phase::Probing || a.answered) return;
        a.phase = Phase::Ports;
        if (s_.ports.empty()) return Finish(a);
        portQueue_.push_back(static_cast<std::size_t>(&a - states_.data()));
    }

    void PortClosed(AddressState& a) {
        --a.portsOpen;
        if (a.portsOpen != 0) return;
        // Answered meanwhile (a late answer to its probe), or every port tried.
        if (a.answered || (a.phase == Phase::Ports && a.portsTried == s_.ports.size())) Finish(a);
    }

    void Send(Clock::time_point now) {
        // Probes first: they are the cheap question, and the waits for
        // silent addresses run meanwhile.
        while (next_ < states_.size() || !probeQueue_.empty()) {
            std::size_t& from = probeQueue_.empty() ? next_ : probeQueue_.front();
            // Heard already (it answered for itself before its turn): no probe.
            if (states_[from].phase == Phase::Done) {
                if (probeQueue_.empty()) ++next_;
                else probeQueue_.pop_front();
                continue;
            }
            if (!budget_.Take(now)) return;
            const std::size_t i = from;
            if (probeQueue_.empty()) ++next_;
            else probeQueue_.pop_front();
            Probe(states_[i], now);
        }
        while (!portQueue_.empty() && attempts_.size() < openLimit_) {
            AddressState& a = states_[portQueue_.front()];
            if (a.answered || a.phase != Phase::Ports) {
                portQueue_.pop_front();
                if (a.answered && a.portsOpen == 0) Finish(a);
                continue;
            }
            if (!budget_.Take(now)) return;
            const std::string port = s_.ports[a.portsTried++];
            if (a.portsTried == s_.ports.size()) portQueue_.pop_front();
            Connect(a, port, now);
        }
    }

    void Probe(AddressState& a, Clock::time_point now) {
        const std::size_t i = static_cast<std::size_t>(&a - states_.data());
        if (a.phase == Phase::Waiting) {
            a.phase = Phase::Probing;
            // A fresh MessageID per address: a device with several addresses
            // in the range drops a message it has seen before.
            a.messageId = NewMessageId();
        }
        const std::string probe = BuildProbe(a.messageId);
        const sockaddr_in to = Ipv4Socket(a.address, kDiscoveryPort);
        if (::sendto(udp_.fd, probe.data(), probe.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0 &&
            errno != EINTR) {
            // A full queue (a neighbour table still resolving) is worth
            // another try later; anything else says nothing goes there.
            if (errno != EAGAIN && errno != ENOBUFS)
                Diagnostic("onvif: probe to %s not sent: %s", FormatIpv4HostOrder(a.address).c_str(),
                           std::strerror(errno));
        }
        ++a.probesSent;
        if (a.probesSent < s_.probeTries) retries_.emplace_back(now + s_.probeRetry, i);
        else silences_.emplace_back(now + s_.probeWait, i);
    }

    void Connect(AddressState& a, const std::string& port, Clock::time_point now) {
        const std::size_t i = static_cast<std::size_t>(&a - states_.data());
        ++a.portsOpen;
        Fd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        const sockaddr_in to = Ipv4Socket(a.address, static_cast<uint16_t>(std::stoi(port)));
        if (fd.fd < 0 ||
            (::connect(fd.fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0 && errno != EINPROGRESS)) {
            PortClosed(a);
            return;
        }
        attempts_.push_back(Attempt{std::move(fd), i, port, now + s_.connectWait});
    }

    void Wait(Clock::time_point now) {
        // Until the next timer, the next token or a socket is ready.
        Clock::time_point until = now + std::chrono::milliseconds(50);
        if (!retries_.empty()) until = std::min(until, retries_.front().first);
        if (!silences_.empty()) until = std::min(until, silences_.front().first);
        for (const Attempt& t : attempts_) until = std::min(until, t.endAt);
        const bool wantSend = next_ < states_.size() || !probeQueue_.empty() ||
                              (!portQueue_.empty() && attempts_.size() < openLimit_);
        if (wantSend) until = std::min(until, budget_.Next(now));
        if (!checks_.empty()) until = std::min(until, now + std::chrono::milliseconds(5));
        std::vector<pollfd> fds;
        fds.push_back({udp_.fd, POLLIN, 0});
        for (const Attempt& t : attempts_) fds.push_back({t.fd.fd, POLLOUT, 0});
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(until - now).count();
        const int ms = left <= 0 ? 0 : static_cast<int>((left + 999) / 1000);
        if (::poll(fds.data(), fds.size(), s_.within.NextWaitMs(ms)) <= 0) return;
        if (fds[0].revents & POLLERR) ReadErrors();
        if (fds[0].revents & POLLIN) ReadAnswers();
        // Attempts that completed, one way or the other.
        std::vector<std::size_t> finished;
        for (std::size_t k = 1; k < fds.size(); ++k)
            if (fds[k].revents) finished.push_back(k - 1);
        for (auto k = finished.rbegin(); k != finished.rend(); ++k) {
            Attempt t = std::move(attempts_[*k]);
            attempts_.erase(attempts_.begin() + static_cast<std::ptrdiff_t>(*k));
            int error = 0;
            socklen_t length = sizeof error;
            (void)::getsockopt(t.fd.fd, SOL_SOCKET, SO_ERROR, &error, &length);
            AddressState& a = states_[t.index];
            if (error != 0 || a.answered) {
                PortClosed(a);
                continue;
            }
            // Something listens: ask it, off this thread, as a device service
            // is asked (the survey goes on meanwhile).
            const ServiceUrl url{FormatIpv4HostOrder(a.address), t.port};
            OnvifCallSettings call = s_.call;
            call.within = call.within.Earlier(s_.within);
            checks_.emplace_back(t.index, std::async(std::launch::async, [url, call] {
                                     return AnswersAsDeviceService(url, call) ? std::optional<ServiceUrl>(url)
                                                                              : std::nullopt;
                                 }));
        }
    }

    void Checked(std::size_t i, const std::optional<ServiceUrl>& url) {
        AddressState& a = states_[i];
        if (url && !a.answered) {
            a.answered = true;
            DiscoveredOnvifDevice d;
            d.xaddrs = {FormatServiceUrl(*url)};
            d.replyFrom = a.address;
            d.heardFrom = {a.address};
            Add(std::move(d));
        }
        PortClosed(a);
        if (a.answered) Finish(a);
    }

    void ReadErrors() {
        for (;;) {
            char data[2048];
            char control[512];
            sockaddr_in offender{};
            iovec io{data, sizeof data};
            msghdr m{};
            m.msg_name = &offender;
            m.msg_namelen = sizeof offender;
            m.msg_iov = &io;
            m.msg_iovlen = 1;
            m.msg_control = control;
            m.msg_controllen = sizeof control;
            if (::recvmsg(udp_.fd, &m, MSG_ERRQUEUE | MSG_DONTWAIT) < 0) return;
            // msg_name holds the address the probe was sent to.
            const auto it = index_.find(ntohl(offender.sin_addr.s_addr));
            if (it == index_.end()) continue;
            for (cmsghdr* c = CMSG_FIRSTHDR(&m); c; c = CMSG_NXTHDR(&m, c)) {
                if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_RECVERR) continue;
                sock_extended_err e;
                std::memcpy(&e, CMSG_DATA(c), sizeof e);
                AddressState& a = states_[it->second];
                if (a.answered || a.phase != Phase::Probing) continue;
                if (e.ee_errno == ECONNREFUSED) {
                    // Up, but no discovery: straight to its ports.
                    ToPorts(a);
                } else if (e.ee_errno == EHOSTUNREACH || e.ee_errno == ENETUNREACH) {
                    // Nothing answers there (a router gave up resolving it).
                    Finish(a);
                }
            }
        }
    }

    void ReadAnswers() {
        static thread_local char buffer[kMaxDiscoveryMessageBytes + 1];
        for (;;) {
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t n = ::recvfrom(udp_.fd, buffer, sizeof buffer, MSG_TRUNC | MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (n < 0) return;
            const uint32_t sender = ntohl(from.sin_addr.s_addr);
            std::string why;
            const std::optional<DiscoveryMessage> message =
                static_cast<std::size_t>(n) > kMaxDiscoveryMessageBytes
                    ? std::nullopt
                    : ReadDiscoveryMessage(std::string_view(buffer, static_cast<std::size_t>(n)), &why);
            if (!message || message->kind != DiscoveryKind::ProbeMatches) {
                ++report_.unreadable;
                Diagnostic("onvif: answer from %s refused: %s", FormatIpv4HostOrder(sender).c_str(),
                           message ? "not a ProbeMatch" : why.c_str());
                continue;
            }
            for (const DiscoveryAnnouncement& a : message->devices) {
                DiscoveredOnvifDevice d;
                d.endpoint = a.endpoint;
                d.xaddrs = a.xaddrs;
                d.scopes = a.scopes;
                const OnvifScopeFields fields = ReadScopeFields(a.scopes);
                d.name = fields.name;
                d.hardware = fields.hardware;
                d.location = fields.location;
                d.metadataVersion = a.metadataVersion;
                d.replyFrom = sender;
                d.heardFrom = {sender};
                Add(std::move(d));
            }
            // Only the address that answered is answered: a reply from
            // elsewhere says nothing about the address that was asked.
            if (const auto it = index_.find(sender); it != index_.end() && !message->devices.empty()) {
                AddressState& s = states_[it->second];
                s.answered = true;
                if (s.portsOpen == 0) Finish(s);
            }
        }
    }

    // One row per endpoint reference; a reference heard again from another
    // address keeps both (the claim rules decide what that means).
    void Add(DiscoveredOnvifDevice d) {
        if (!d.endpoint.empty()) {
            if (const auto it = byEndpoint_.find(d.endpoint); it != byEndpoint_.end()) {
                DiscoveredOnvifDevice& known = devices_[it->second];
                for (const uint32_t from : d.heardFrom)
                    if (std::find(known.heardFrom.begin(), known.heardFrom.end(), from) == known.heardFrom.end())
                        known.heardFrom.push_back(from);
                return;
            }
            byEndpoint_.emplace(d.endpoint, devices_.size());
        }
        Place(d);
        if (s_.heard) s_.heard(d);
        devices_.push_back(std::move(d));
    }

    void Place(DiscoveredOnvifDevice& d) {
        if (!d.interfaceName.empty()) return;
        RouteToDevice route;
        if (!RouteOf(d.replyFrom, route)) return;
        d.interfaceName = route.card;
        d.interfaces = {route.card};
        d.localAddress = route.localAddress;
        d.routed = route.viaRouter;
    }

    const RangeSurveySettings& s_;
    RangeSurveyReport& report_;
    PacketBudget budget_;
    std::size_t openLimit_;
    Fd udp_;
    std::vector<AddressState> states_;
    std::unordered_map<uint32_t, std::size_t> index_;
    std::size_t next_ = 0;   // the next address never probed
    std::size_t done_ = 0;
    std::deque<std::size_t> probeQueue_;                                  // second tries due
    std::deque<std::pair<Clock::time_point, std::size_t>> retries_;       // (when, address) in time order
    std::deque<std::pair<Clock::time_point, std::size_t>> silences_;      // after the last probe
    std::deque<std::size_t> portQueue_;
    std::vector<Attempt> attempts_;
    std::vector<std::pair<std::size_t, std::future<std::optional<ServiceUrl>>>> checks_;
    std::vector<DiscoveredOnvifDevice> devices_;
    std::map<std::string, std::size_t> byEndpoint_;
};

}  // namespace

bool RouteOf(uint32_t address, RouteToDevice& route) {
    route = {};
    hostnet::NetlinkSocket netlink;
    hostnet::RouteLookup lookup;
    if (netlink.Open() != 0 || hostnet::LookupIpv4Route(netlink, htonl(address), lookup) != 0 ||
        lookup.result != hostnet::RouteLookup::Result::Route)
        return false;
    char name[IF_NAMESIZE] = {};
    if (lookup.oif != 0 && ::if_indextoname(lookup.oif, name)) route.card = name;
    route.viaRouter = lookup.viaGateway;
    // The address the kernel sends from: a connected datagram socket tells
    // without a packet going out.
    Fd probe(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const sockaddr_in to = Ipv4Socket(address, kDiscoveryPort);
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (probe.fd >= 0 && ::connect(probe.fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
        ::getsockname(probe.fd, reinterpret_cast<sockaddr*>(&local), &length) == 0)
        route.localAddress = ntohl(local.sin_addr.s_addr);
    return true;
}

std::vector<uint32_t> RoutersOfThePc() {
    std::vector<uint32_t> routers;
    hostnet::NetlinkSocket netlink;
    std::vector<hostnet::RouteRecord> routes;
    if (netlink.Open() != 0 || hostnet::DumpIpv4Routes(netlink, routes) != 0) return routers;
    for (const hostnet::RouteRecord& r : routes)
        if (r.gateway != 0) routers.push_back(ntohl(r.gateway));
    return routers;
}

std::vector<DiscoveredOnvifDevice> SurveyAddresses(const std::vector<uint32_t>& addresses,
                                                   const RangeSurveySettings& settings, RangeSurveyReport& report) {
    report = {};
    Survey survey(addresses, settings, report);
    return survey.Run();
}

}  // namespace orvanta::onvif

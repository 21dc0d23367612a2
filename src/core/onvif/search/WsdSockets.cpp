#include "core/onvif/search/WsdSockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>

#include "core/onvif/search/WsdProbe.h"
#include "core/onvif/search/ProbeMatchReader.h"
#include "core/base/Diagnostics.h"
#include "core/base/AddressText.h"

namespace orvanta::onvif {

namespace {

// Probes stay on the link they are sent on, as WS-Discovery's ad hoc mode
// has it: a camera behind a router is reached by address, not by search.
constexpr int kProbeTtl = 1;

std::string Dotted(uint32_t hostOrder) { return FormatIpv4HostOrder(hostOrder); }

in_addr GroupAddress() {
    in_addr group{};
    ::inet_pton(AF_INET, kDiscoveryGroup, &group);
    return group;
}

// One datagram, or false when none is waiting. `tooLong`: it did not fit
// and is dropped (never read cut short).
bool ReceiveOne(int fd, std::string& datagram, sockaddr_in& from, int* ifindex, bool& tooLong) {
    static thread_local char buffer[kMaxDiscoveryMessageBytes + 1];
    iovec iov{buffer, sizeof buffer};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    ssize_t n;
    do {
        n = ::recvmsg(fd, &msg, MSG_DONTWAIT | MSG_TRUNC);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return false;
    tooLong = (msg.msg_flags & MSG_TRUNC) != 0 || static_cast<std::size_t>(n) > kMaxDiscoveryMessageBytes;
    datagram.assign(buffer, tooLong ? 0 : static_cast<std::size_t>(n));
    if (ifindex) {
        *ifindex = 0;
        for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
            if (c->cmsg_level != IPPROTO_IP || c->cmsg_type != IP_PKTINFO) continue;
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            *ifindex = info.ipi_ifindex;
        }
    }
    return true;
}

}  // namespace

WsdSockets::WsdSockets(std::vector<ProbeCard> cards) : cards_(std::move(cards)) {}

WsdSockets::~WsdSockets() {
    for (auto& p : probes_)
        if (p.fd >= 0) ::close(p.fd);
    if (announcements_ >= 0) ::close(announcements_);
}

bool WsdSockets::Open() {
    const int one = 1;
    for (const ProbeCard& card : cards_) {
        const std::string where = card.name + " (" + Dotted(card.address) + ")";
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            Diagnostic("onvif discovery: no socket for %s: %s", where.c_str(), std::strerror(errno));
            continue;
        }
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(card.address);
        // Bound to the card's address, so a camera's unicast answer comes
        // back to this socket and no other; IP_MULTICAST_IF names the card,
        // so the probe leaves there whatever the routing table says (a PC
        // cabled straight to cameras has no route at all).
        ip_mreqn through{};
        through.imr_address.s_addr = htonl(card.address);
        through.imr_ifindex = static_cast<int>(card.index);
        const int ttl = kProbeTtl;
        const char* step = nullptr;
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) step = "bind";
        else if (::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_IF, &through, sizeof through) != 0) step = "IP_MULTICAST_IF";
        else if (::setsockopt(fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) != 0) step = "IP_MULTICAST_TTL";
        if (step) {
            Diagnostic("onvif discovery: cannot probe from %s: %s: %s", where.c_str(), step, std::strerror(errno));
            ::close(fd);
            continue;
        }
        probes_.push_back({card, fd, {}});
    }

    // Hello and Bye: one socket on the discovery port, in the group on each
    // card once. Another program may hold the port without sharing it;
    // then only the announcements are missed, the probes still work.
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    any.sin_port = htons(kDiscoveryPort);
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
        ::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof one) != 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        Diagnostic("onvif discovery: cannot listen on port %u: %s; Hello and Bye are not heard in this search",
                   kDiscoveryPort, std::strerror(errno));
        if (fd >= 0) ::close(fd);
    } else {
        std::set<uint32_t> joined;
        for (const ProbeCard& card : cards_) {
            if (!joined.insert(card.index).second) continue;
            ip_mreqn join{};
            join.imr_multiaddr = GroupAddress();
            join.imr_address.s_addr = htonl(card.address);
            join.imr_ifindex = static_cast<int>(card.index);
            if (::setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof join) != 0) {
                Diagnostic("onvif discovery: cannot join %s on %s: %s", kDiscoveryGroup, card.name.c_str(),
                           std::strerror(errno));
                joined.erase(card.index);
            }
        }
        if (joined.empty()) ::close(fd);
        else announcements_ = fd;
    }
    return !probes_.empty();
}

void WsdSockets::Send(ProbeSocket& socket) {
    const std::string probe = BuildProbe(socket.messageId);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = GroupAddress();
    to.sin_port = htons(kDiscoveryPort);
    ssize_t sent;
    do {
        sent = ::sendto(socket.fd, probe.data(), probe.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    } while (sent < 0 && errno == EINTR);
    if (sent != static_cast<ssize_t>(probe.size()))
        Diagnostic("onvif discovery: probe not sent from %s (%s): %s", socket.card.name.c_str(),
                   Dotted(socket.card.address).c_str(), sent < 0 ? std::strerror(errno) : "cut short");
}

void WsdSockets::Probe() {
    for (auto& p : probes_) {
        p.messageId = NewMessageId();
        Send(p);
    }
}

void WsdSockets::Repeat() {
    for (auto& p : probes_) {
        if (p.messageId.empty()) p.messageId = NewMessageId();
        Send(p);
    }
}

void WsdSockets::CountUnreadable(const std::string& card) {
    for (auto& [name, count] : unreadable_)
        if (name == card) {
            ++count;
            return;
        }
    unreadable_.emplace_back(card, 1);
}

std::string WsdSockets::UnreadableSummary() const {
    if (unreadable_.empty()) return {};
    std::string out;
    for (std::size_t i = 0; i < unreadable_.size(); ++i) {
        const auto& [card, count] = unreadable_[i];
        out += i == 0 ? "" : i + 1 == unreadable_.size() ? " and " : ", ";
        out += std::to_string(count) + (i == 0 ? (count == 1 ? " reply" : " replies") : "") + " on " + card;
    }
    return out + " could not be read";
}

void WsdSockets::Take(const std::string& datagram, const DiscoveryOrigin& origin, bool announcement) {
    std::string why;
    std::optional<DiscoveryMessage> message = ReadDiscoveryMessage(datagram, &why);
    if (message && message->devices.empty() && !announcement) {
        why = "it names no device (no endpoint reference)";
        message.reset();
    }
    if (!message) {
        // Our own probe, looped back to the announcement socket, or another
        // client's: not worth a line each. An answer to our probe that we
        // cannot read may be a camera the user is looking for: counted, so
        // that "no camera" is never all they are told.
        if (!announcement) {
            Diagnostic("onvif discovery: reply from %s on %s refused: %s", Dotted(origin.from).c_str(),
                       origin.card.c_str(), why.c_str());
            CountUnreadable(origin.card);
        }
        return;
    }
    for (const DiscoveryAnnouncement& device : message->devices) {
        if (message->kind == DiscoveryKind::Bye) {
            devices_.Remove(device.endpoint);
            continue;
        }
        // What arrives unasked is heard from every kind of device (printers
        // announce themselves the same way): only ONVIF ones are kept. A
        // ProbeMatch answers our own probe for exactly those.
        if (announcement && !device.onvifTypes) continue;
        devices_.Add(device, origin);
    }
}

void WsdSockets::ReadProbeSocket(const ProbeSocket& socket) {
    std::string datagram;
    sockaddr_in from{};
    bool tooLong = false;
    while (ReceiveOne(socket.fd, datagram, from, nullptr, tooLong)) {
        DiscoveryOrigin origin{socket.card.name, socket.card.address, socket.card.mask, ntohl(from.sin_addr.s_addr)};
        if (tooLong) {
            Diagnostic("onvif discovery: reply from %s on %s refused: larger than any discovery message",
                       Dotted(origin.from).c_str(), origin.card.c_str());
            CountUnreadable(origin.card);
            continue;
        }
        Take(datagram, origin, false);
    }
}

void WsdSockets::ReadAnnouncementSocket() {
    std::string datagram;
    sockaddr_in from{};
    bool tooLong = false;
    int ifindex = 0;
    while (ReceiveOne(announcements_, datagram, from, &ifindex, tooLong)) {
        if (tooLong) continue;
        DiscoveryOrigin origin;
        origin.from = ntohl(from.sin_addr.s_addr);
        // The card it came in on; of that card's addresses the one whose
        // subnet holds the sender, else its first.
        for (const ProbeCard& card : cards_) {
            if (card.index != static_cast<uint32_t>(ifindex)) continue;
            const bool inSubnet = card.mask != 0 && (origin.from & card.mask) == (card.address & card.mask);
            if (origin.card.empty() || inSubnet) {
                origin.card = card.name;
                origin.localAddress = card.address;
                origin.localMask = card.mask;
            }
            if (inSubnet) break;
        }
        if (origin.card.empty()) continue;  // a card we do not search on
        Take(datagram, origin, true);
    }
}

void WsdSockets::Listen(std::chrono::steady_clock::time_point until, const std::function<bool()>& done) {
    std::vector<pollfd> fds;
    for (const auto& p : probes_) fds.push_back({p.fd, POLLIN, 0});
    if (announcements_ >= 0) fds.push_back({announcements_, POLLIN, 0});
    if (fds.empty()) return;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        for (auto& f : fds) f.revents = 0;
        const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            Diagnostic("onvif discovery: waiting for replies failed: %s", std::strerror(errno));
            return;
        }
        if (ready <= 0) continue;
        for (std::size_t i = 0; i < probes_.size(); ++i)
            if (fds[i].revents) ReadProbeSocket(probes_[i]);
        if (announcements_ >= 0 && fds.back().revents) ReadAnnouncementSocket();
        if (done && done()) return;
    }
}

}  // namespace orvanta::onvif

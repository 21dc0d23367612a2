#include "core/hostnet/linux/ArpSocket.h"

#include <arpa/inet.h>
#include <linux/if_arp.h>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/hostnet/linux/BoundSocket.h"

namespace orvanta::hostnet {

namespace {

// The ARP payload for IPv4 over Ethernet, as on the wire.
struct __attribute__((packed)) ArpPacket {
    uint16_t htype;
    uint16_t ptype;
    uint8_t hlen;
    uint8_t plen;
    uint16_t op;
    uint8_t sha[6];
    uint32_t spa;
    uint8_t tha[6];
    uint32_t tpa;
};
static_assert(sizeof(ArpPacket) == 28);

using Clock = std::chrono::steady_clock;

}  // namespace

ArpSocket::~ArpSocket() {
    if (fd_ >= 0) close(fd_);
}

int ArpSocket::Open(uint32_t ifIndex, const std::array<uint8_t, 6>& ownMac) {
    if (fd_ >= 0) close(fd_);
    ifIndex_ = ifIndex;
    ownMac_ = ownMac;
    fd_ = socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETH_P_ARP));
    if (fd_ < 0) return -errno;
    sockaddr_ll local = {};
    local.sll_family = AF_PACKET;
    local.sll_protocol = htons(ETH_P_ARP);
    local.sll_ifindex = int(ifIndex);
    return BindOrClose(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
}

int ArpSocket::Send(uint32_t sender, uint32_t target) {
    // The socket has been collecting the link's ARP traffic since the last
    // request; an old packet must not pass for an answer to this one.
    ArpPacket stale;
    while (recv(fd_, &stale, sizeof stale, MSG_DONTWAIT) >= 0) {
    }
    ArpPacket p = {};
    p.htype = htons(ARPHRD_ETHER);
    p.ptype = htons(ETH_P_IP);
    p.hlen = 6;
    p.plen = 4;
    p.op = htons(ARPOP_REQUEST);
    std::memcpy(p.sha, ownMac_.data(), 6);
    p.spa = sender;
    p.tpa = target;
    sockaddr_ll to = {};
    to.sll_family = AF_PACKET;
    to.sll_protocol = htons(ETH_P_ARP);
    to.sll_ifindex = int(ifIndex_);
    to.sll_halen = 6;
    std::memset(to.sll_addr, 0xff, 6);
    if (sendto(fd_, &p, sizeof p, 0, reinterpret_cast<sockaddr*>(&to), sizeof to) < 0) return -errno;
    return 0;
}

ArpOutcome ArpSocket::Listen(uint32_t address, int waitMs, bool probing) {
    ArpOutcome out;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        // Every wait is recomputed from the one deadline, so a stream of
        // unrelated ARP traffic cannot stretch it.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return out;
        pollfd p{fd_, POLLIN, 0};
        const int ready = poll(&p, 1, int(left));
        if (ready < 0) {
            if (errno == EINTR) continue;
            out.error = -errno;
            return out;
        }
        if (ready == 0) return out;
        ArpPacket pkt;
        sockaddr_ll from = {};
        socklen_t fromLen = sizeof from;
        const ssize_t n = recvfrom(fd_, &pkt, sizeof pkt, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            out.error = -errno;
            return out;
        }
        // Our own transmissions come back on a packet socket: skip them.
        if (from.sll_pkttype == PACKET_OUTGOING) continue;
        if (std::size_t(n) < sizeof pkt || pkt.htype != htons(ARPHRD_ETHER) || pkt.ptype != htons(ETH_P_IP) ||
            pkt.hlen != 6 || pkt.plen != 4)
            continue;
        if (std::memcmp(pkt.sha, ownMac_.data(), 6) == 0) continue;
        const uint16_t op = ntohs(pkt.op);
        bool claims = pkt.spa == address && (op == ARPOP_REPLY || (probing && op == ARPOP_REQUEST));
        // Another station probing for the same address at the same time.
        if (probing && op == ARPOP_REQUEST && pkt.spa == 0 && pkt.tpa == address) claims = true;
        if (!claims) continue;
        out.answered = true;
        std::memcpy(out.mac.data(), pkt.sha, 6);
        return out;
    }
}

ArpOutcome ArpSocket::Request(uint32_t target, uint32_t source, int waitMs) {
    ArpOutcome out;
    if (fd_ < 0) {
        out.error = -EBADF;
        return out;
    }
    if (const int e = Send(source, target); e != 0) {
        out.error = e;
        return out;
    }
    return Listen(target, waitMs, false);
}

ArpOutcome ArpSocket::Probe(uint32_t address, int waitMs) {
    ArpOutcome out;
    if (fd_ < 0) {
        out.error = -EBADF;
        return out;
    }
    if (const int e = Send(0, address); e != 0) {
        out.error = e;
        return out;
    }
    return Listen(address, waitMs, true);
}

}  // namespace orvanta::hostnet

#include "core/discovery/PosixDiscoveryTransport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace orvanta::discovery {

int PosixDiscoveryTransport::OpenReceiveSocket(uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int one = 1;
    // Several slots and both clients of the wizard bind the same port.
    if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0) {
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    // A thousand cameras answer within milliseconds of each other. FORCE
    // passes the system's cap where the process may; the plain request is the
    // fallback. Neither failing is fatal: the default buffer still works.
    const int bytes = receiveBufferBytes_;
    if (bytes > 0 && ::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
        ::close(fd);
        return -1;
    }
    // Without its draining thread the socket would lose most of a large
    // burst; a socket that cannot be drained counts as one not opened.
    if (!receiver_.Add(fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void PosixDiscoveryTransport::Close(int handle) {
    receiver_.Remove(handle);
    if (handle >= 0) ::close(handle);
}

namespace {

// One datagram out of card `index` from `source`; 0 or the errno.
int SendThroughCard(int fd, const sockaddr_in& to, unsigned index, in_addr source, const uint8_t* data,
                    std::size_t length) {
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(index);
    info.ipi_spec_dst = source;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    iovec iov{const_cast<uint8_t*>(data), length};
    msghdr msg{};
    msg.msg_name = const_cast<sockaddr_in*>(&to);
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    cmsghdr* c = CMSG_FIRSTHDR(&msg);
    c->cmsg_level = IPPROTO_IP;
    c->cmsg_type = IP_PKTINFO;
    c->cmsg_len = CMSG_LEN(sizeof info);
    std::memcpy(CMSG_DATA(c), &info, sizeof info);
    ssize_t sent;
    do {
        sent = ::sendmsg(fd, &msg, 0);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) return errno;
    return sent == static_cast<ssize_t>(length) ? 0 : EMSGSIZE;
}

}  // namespace

// A plain sendto of 255.255.255.255 goes where the routing table says: out
// of the default route's card only, and nowhere (ENETUNREACH) on a PC
// without a default route, which is how a laptop cabled straight to a camera
// is set up. IP_PKTINFO on sendmsg names the card and the source address of
// each datagram, so the limited broadcast leaves through that card whatever
// the routes say. Unlike SO_BINDTODEVICE it needs no privilege, and unlike a
// subnet-directed broadcast it also reaches a camera still at a factory
// address in another subnet. One datagram per address of a card, so a
// camera that answers the request's source finds it in its own subnet.
DiscoveryTransport::SendResult PosixDiscoveryTransport::SendBroadcast(uint32_t addressNetOrder,
                                                                      uint16_t port,
                                                                      const uint8_t* data,
                                                                      std::size_t length) {
    lastSend_ = SendReport{};
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
        lastSend_.error = errno;
        if (fd >= 0) ::close(fd);
        return OpenFailed;
    }
    ifaddrs* cards = nullptr;
    if (::getifaddrs(&cards) != 0) {
        lastSend_.error = errno;
        ::close(fd);
        return SendFailed;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = addressNetOrder;
    to.sin_port = htons(port);
    for (const ifaddrs* card = cards; card; card = card->ifa_next) {
        if (!card->ifa_addr || card->ifa_addr->sa_family != AF_INET) continue;
        if (!(card->ifa_flags & IFF_UP) || (card->ifa_flags & IFF_LOOPBACK)) continue;
        // An address label ("eth0:1") names the link before its colon.
        const std::string name = card->ifa_name;
        const std::string link = name.substr(0, name.find(':'));
        if (!onlyCard_.empty() && onlyCard_ != link) continue;
        const unsigned index = ::if_nametoindex(link.c_str());
        if (index == 0) continue;
        ++lastSend_.tried;
        const in_addr source = reinterpret_cast<const sockaddr_in*>(card->ifa_addr)->sin_addr;
        if (const int error = SendThroughCard(fd, to, index, source, data, length); error == 0) {
            ++lastSend_.sent;
        } else {
            lastSend_.failedCard = link;
            lastSend_.error = error;
        }
    }
    ::freeifaddrs(cards);
    ::close(fd);
    if (lastSend_.tried == 0 && !onlyCard_.empty()) {
        // The card named is missing, or it is there without an address.
        lastSend_.failedCard = onlyCard_;
        lastSend_.error = ::if_nametoindex(onlyCard_.c_str()) == 0 ? ENODEV : EADDRNOTAVAIL;
    }
    return lastSend_.sent > 0 ? Sent : SendFailed;
}

int PosixDiscoveryTransport::Wait(const std::vector<int>& handles, int timeoutMicroseconds,
                                  std::vector<bool>& readable) {
    bool drained = !handles.empty();
    for (int h : handles) drained = drained && receiver_.Drains(h);
    if (drained) return receiver_.Wait(handles, timeoutMicroseconds, readable);

    // Sockets this transport did not open are waited on directly.
    readable.assign(handles.size(), false);
    std::vector<pollfd> fds;
    fds.reserve(handles.size());
    for (int h : handles) {
        // A closed handle in the set fails the wait, as it would for select.
        if (h < 0) return -1;
        fds.push_back(pollfd{h, POLLIN, 0});
    }
    const int timeoutMs = (timeoutMicroseconds + 999) / 1000;
    int ready;
    do {
        ready = ::poll(fds.data(), fds.size(), timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) return ready;
    int n = 0;
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].revents & (POLLIN | POLLERR)) {
            readable[i] = true;
            ++n;
        }
    }
    return n;
}

long PosixDiscoveryTransport::Receive(int handle, uint8_t* buffer, std::size_t capacity) {
    if (receiver_.Drains(handle)) return receiver_.Take(handle, buffer, capacity);
    // MSG_TRUNC makes recv report a longer datagram's full length, so the
    // caller can refuse it instead of reading it cut short.
    const ssize_t n = ::recv(handle, buffer, capacity, MSG_TRUNC);
    return n < 0 ? -1 : static_cast<long>(n);
}

}  // namespace orvanta::discovery

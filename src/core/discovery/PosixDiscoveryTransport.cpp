#include "core/discovery/PosixDiscoveryTransport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

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

DiscoveryTransport::SendResult PosixDiscoveryTransport::SendBroadcast(uint32_t addressNetOrder,
                                                                      uint16_t port,
                                                                      const uint8_t* data,
                                                                      std::size_t length) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
        if (fd >= 0) ::close(fd);
        return OpenFailed;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = addressNetOrder;
    to.sin_port = htons(port);
    const ssize_t sent =
        ::sendto(fd, data, length, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::close(fd);
    return sent == static_cast<ssize_t>(length) ? Sent : SendFailed;
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

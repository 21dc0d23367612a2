#include "LoopbackCamera.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "core/settings/FixedField.h"

namespace orvanta {

namespace {

// The length a request's header announces for its body; 0 when none.
std::size_t AnnouncedBody(const std::string& header) {
    std::size_t at = 0;
    while ((at = header.find("\r\n", at)) != std::string::npos) {
        at += 2;
        const std::size_t colon = header.find(':', at);
        const std::size_t end = header.find("\r\n", at);
        if (colon == std::string::npos || colon > end) continue;
        std::string name = header.substr(at, colon - at);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (name == "content-length") return std::strtoul(header.c_str() + colon + 1, nullptr, 10);
    }
    return 0;
}

}  // namespace

LoopbackCamera::LoopbackCamera(std::vector<Turn> turns) : turns_(std::move(turns)) { Listen(); }

LoopbackCamera::LoopbackCamera(Handler handler) : handler_(std::move(handler)) { Listen(); }

void LoopbackCamera::Listen() {
    if (pipe2(stopPipe_, O_CLOEXEC) != 0 || pipe2(releasePipe_, O_CLOEXEC) != 0) return;
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
        listen(listenFd_, 8) != 0 || getsockname(listenFd_, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
        return;
    port_ = ntohs(sa.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

LoopbackCamera::~LoopbackCamera() {
    if (stopPipe_[1] >= 0) (void)!write(stopPipe_[1], "x", 1);
    if (thread_.joinable()) thread_.join();
    for (int fd : {listenFd_, stopPipe_[0], stopPipe_[1], releasePipe_[0], releasePipe_[1]})
        if (fd >= 0) close(fd);
}

void LoopbackCamera::Aim(CameraSettings& s) const {
    SetField(s.CamIP, "127.0.0.1");
    SetField(s.CamPort, PortText());
}

std::vector<std::string> LoopbackCamera::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t LoopbackCamera::RequestCount() const {
    std::lock_guard lock(mutex_);
    return requests_.size();
}

bool LoopbackCamera::WaitForRequests(std::size_t count, std::chrono::milliseconds limit) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, limit, [&] { return requests_.size() >= count; });
}

void LoopbackCamera::Release() {
    if (releasePipe_[1] >= 0) (void)!write(releasePipe_[1], "x", 1);
}

LoopbackCamera::Wake LoopbackCamera::WaitFor(int fd, short events, int timeoutMs) const {
    pollfd p[2] = {{stopPipe_[0], POLLIN, 0}, {fd, events, 0}};
    for (;;) {
        const int n = poll(p, 2, timeoutMs);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || p[0].revents != 0) return Wake::Stopped;
        return n == 0 ? Wake::TimedOut : Wake::Ready;
    }
}

void LoopbackCamera::Serve() {
    for (std::size_t turn = 0; handler_ || turn < turns_.size();) {
        if (WaitFor(listenFd_, POLLIN, -1) != Wake::Ready) return;
        const int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client < 0) continue;  // the connection went before it was taken
        ServeOne(client, turn++);
        close(client);
    }
}

void LoopbackCamera::ServeOne(int client, std::size_t index) {
    const std::string request = ReadRequest(client);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }
    arrived_.notify_all();
    const Turn turn = handler_ ? handler_(request) : turns_[index];
    if (turn.stall && WaitFor(releasePipe_[0], POLLIN, -1) != Wake::Ready) return;
    Reply(client, turn);
    // Held until the client closes its end (a read of 0) or the test ends.
    char buf[512];
    while (turn.holdOpen && WaitFor(client, POLLIN, -1) == Wake::Ready)
        if (recv(client, buf, sizeof buf, 0) <= 0) break;
}

std::string LoopbackCamera::ReadRequest(int client) const {
    std::string request;
    std::size_t complete = std::string::npos;  // the request's length once its header is in
    char buf[4096];
    while (request.size() < complete && WaitFor(client, POLLIN, -1) == Wake::Ready) {
        const ssize_t n = recv(client, buf, sizeof buf, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
        const std::size_t headerEnd = request.find("\r\n\r\n");
        if (complete == std::string::npos && headerEnd != std::string::npos)
            complete = headerEnd + 4 + AnnouncedBody(request.substr(0, headerEnd + 2));
    }
    return request;
}

void LoopbackCamera::Reply(int client, const Turn& turn) const {
    const std::size_t length = std::min(turn.cutAt, turn.reply.size());
    const std::size_t step = turn.dripMs > 0 ? 1 : length;
    for (std::size_t sent = 0; sent < length;) {
        if (sent == turn.pauseAt && turn.pauseMs > 0 && WaitFor(-1, 0, turn.pauseMs) == Wake::Stopped) return;
        if (WaitFor(client, POLLOUT, -1) != Wake::Ready) return;
        const std::size_t upTo = sent < turn.pauseAt ? std::min(length, turn.pauseAt) : length;
        const ssize_t n = send(client, turn.reply.data() + sent, std::min(step, upTo - sent), MSG_NOSIGNAL);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return;  // the client has gone
        sent += static_cast<std::size_t>(n);
        if (turn.dripMs > 0 && sent < length && WaitFor(-1, 0, turn.dripMs) == Wake::Stopped) return;
    }
}

}  // namespace orvanta

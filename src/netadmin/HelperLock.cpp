#include "netadmin/HelperLock.h"

#include <sys/random.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <thread>

namespace orvanta::netadmin {

namespace {

constexpr char kPrefix[] = "orvanta-netadmin/";

// An abstract name: a leading NUL, then the text, no terminator.
socklen_t AbstractName(const std::string& name, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    const std::string text = kPrefix + name;
    std::memcpy(addr.sun_path + 1, text.data(), text.size());
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + text.size());
}

// A socket bound to the name, or -errno (EADDRINUSE: someone holds it).
int BindName(const std::string& name) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -errno;
    sockaddr_un addr;
    const socklen_t len = AbstractName(name, addr);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0) {
        const int e = errno;
        close(fd);
        return -e;
    }
    return fd;
}

uint32_t RandomOwner() {
    uint32_t value = 0;
    if (getrandom(&value, sizeof value, 0) != sizeof value) value = uint32_t(getpid()) * 2654435761u;
    // Clear of the pid range (at most 2^22), so it never reads as a pid.
    return (value | 0x40000000u) & 0x7fffffffu;
}

}  // namespace

HelperLock::HelperLock() {
    // The pid first, so the log and the addresses name the process; a
    // helper in another pid namespace may have the same one.
    uint32_t candidate = uint32_t(getpid());
    for (int attempt = 0; attempt < 16; ++attempt, candidate = RandomOwner()) {
        const int fd = BindName(std::to_string(candidate));
        if (fd == -EADDRINUSE) continue;
        if (fd < 0) {
            problem_ = std::string("cannot mark this helper as running: ") + std::strerror(-fd);
            return;
        }
        if (listen(fd, 64) != 0) {
            problem_ = std::string("cannot mark this helper as running: ") + std::strerror(errno);
            close(fd);
            return;
        }
        mark_ = fd;
        owner_ = candidate;
        return;
    }
    problem_ = "cannot mark this helper as running: every number tried is taken";
}

HelperLock::~HelperLock() {
    if (lock_ >= 0) close(lock_);
    if (mark_ >= 0) close(mark_);
}

bool HelperLock::Lock(int timeoutMs) {
    if (mark_ < 0) return false;
    if (depth_ > 0) {
        ++depth_;
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int fd = BindName("lock");
        if (fd >= 0) {
            lock_ = fd;
            break;
        }
        if (fd != -EADDRINUSE) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    depth_ = 1;
    return true;
}

void HelperLock::Unlock() {
    if (depth_ == 0 || --depth_ > 0) return;
    close(lock_);
    lock_ = -1;
}

HelperLock::Liveness HelperLock::Probe(uint32_t owner) const {
    Liveness state;
    if (owner == owner_) {
        state.uid = long(getuid());
        return state;
    }
    if (mark_ < 0 || owner == 0) {
        state.alive = owner != 0;  // cannot tell: assume alive
        return state;
    }
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return state;
    sockaddr_un addr;
    const socklen_t len = AbstractName(std::to_string(owner), addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0) {
        ucred cred = {};
        socklen_t credLen = sizeof cred;
        if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &credLen) == 0) state.uid = long(cred.uid);
    } else if (errno == ECONNREFUSED) {
        // Nobody listens under that name: the helper is gone.
        state.alive = false;
    }
    // Anything else (a full queue, EAGAIN) means someone holds the name.
    close(fd);
    return state;
}

void HelperLock::DrainProbes() const {
    if (mark_ < 0) return;
    for (;;) {
        const int fd = accept4(mark_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        close(fd);
    }
}

}  // namespace orvanta::netadmin

#include "netadmin/HelperLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace orvanta::netadmin {

HelperLock::HelperLock() {
    fd_ = open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        problem_ = std::string("cannot open the helper's own file to share its limits: ") + std::strerror(errno);
        return;
    }
    struct flock mark = {};
    mark.l_type = F_RDLCK;
    mark.l_whence = SEEK_SET;
    mark.l_start = getpid();
    mark.l_len = 1;
    if (fcntl(fd_, F_SETLK, &mark) != 0)
        problem_ = std::string("cannot mark this helper as running: ") + std::strerror(errno);
}

HelperLock::~HelperLock() {
    if (fd_ >= 0) close(fd_);
}

bool HelperLock::Lock(int timeoutMs) {
    if (fd_ < 0) return false;
    if (depth_ > 0) {
        ++depth_;
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return false;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    depth_ = 1;
    return true;
}

void HelperLock::Unlock() {
    if (depth_ == 0 || --depth_ > 0) return;
    flock(fd_, LOCK_UN);
}

bool HelperLock::Alive(pid_t pid) const {
    if (fd_ < 0 || pid == getpid()) return true;  // cannot tell, or us
    if (pid <= 0) return false;
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = pid;
    probe.l_len = 1;
    // Any lock there counts: another user may cover the byte with a lock of
    // their own, which can only keep a dead helper's addresses alive (as
    // they were before anyone cleaned up), never declare a live one dead.
    if (fcntl(fd_, F_GETLK, &probe) != 0) return true;  // cannot tell: assume alive
    return probe.l_type != F_UNLCK;
}

}  // namespace orvanta::netadmin

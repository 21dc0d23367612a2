#include "gui/app/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/hostnet/RuntimeFolder.h"

namespace orvanta {

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) ::close(fd_);
}

std::string SingleInstance::DefaultLockPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') return std::string(runtime) + "/orvanta.lock";
    return hostnet::RuntimeFolder() + "/orvanta.lock";
}

SingleInstance::Result SingleInstance::Acquire(const std::string& lockPath) {
    if (fd_ >= 0) return Result::Acquired;
    why_.clear();
    // The session's runtime folder is its own; any other (the /tmp fallback)
    // is made private first, or refused when someone else got there first.
    const std::string folder = lockPath.substr(0, lockPath.rfind('/') == std::string::npos ? 0 : lockPath.rfind('/'));
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!folder.empty() && !(runtime != nullptr && folder == runtime)) {
        why_ = hostnet::MakePrivateFolder(folder);
        if (!why_.empty()) return Result::Failed;
    }
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        why_ = lockPath + ": " + std::strerror(errno);
        return Result::Failed;
    }
    // A lock someone else made (or a FIFO in its place) would let them say
    // "already running" for us.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        why_ = lockPath + " is not a file of ours";
        return Result::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        return err == EWOULDBLOCK ? Result::AlreadyRunning : Result::Failed;
    }
    fd_ = fd;
    return Result::Acquired;
}

}  // namespace orvanta

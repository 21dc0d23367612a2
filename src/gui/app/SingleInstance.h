// One wizard per user session: an exclusive flock on a lock file in
// $XDG_RUNTIME_DIR (or a private folder under /tmp when unset, see
// hostnet::RuntimeFolder). The kernel releases the lock when the process ends
// in any way, so a crashed wizard never blocks the next.
#pragma once

#include <string>

namespace orvanta {

class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    enum class Result { Acquired, AlreadyRunning, Failed };

    // Takes the lock; the file is opened close-on-exec so that a browser
    // started from the wizard never inherits (and keeps) it.
    Result Acquire(const std::string& lockPath = DefaultLockPath());

    static std::string DefaultLockPath();

    // Why the last Acquire failed (one line), empty otherwise.
    const std::string& Why() const { return why_; }

private:
    int fd_ = -1;
    std::string why_;
};

}  // namespace orvanta

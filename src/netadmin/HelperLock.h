// What all running helpers share: one lock for the steps that must not
// interleave (count the held addresses, then add one; send one ARP frame),
// and a mark per helper that says it is still alive.
//
// The helper runs with its caller's user id (file capabilities, not
// set-user-id), so any file it could write, its caller could rewrite: a
// lock or record file of ours would let a hostile user forge owners or
// reset the limits. So nothing here is a file the helper writes. The lock is
// an flock on the helper's own program file, which only root may replace
// (setcap-netadmin.sh refuses a helper anyone else could swap); the mark is
// a read lock on the byte at the helper's process id in that same file,
// which the kernel drops when the process ends, however it ends. The other
// facts (which addresses, by which helper) live on the addresses in the
// kernel, where only a holder of CAP_NET_ADMIN can write them.
//
// A user can hold the lock and so stall other helpers; they give up after a
// bounded wait and say so. That is no more than what holding the four
// addresses would do.
#pragma once

#include <sys/types.h>

#include <string>

namespace orvanta::netadmin {

class HelperLock {
public:
    HelperLock();
    ~HelperLock();
    HelperLock(const HelperLock&) = delete;
    HelperLock& operator=(const HelperLock&) = delete;

    // Empty when the lock and the mark work; else why not (one line).
    const std::string& Problem() const { return problem_; }

    // Waits up to timeoutMs for the lock; nests within one process.
    bool Lock(int timeoutMs);
    void Unlock();

    // Whether the helper with process id `pid` may still be running: false
    // only when nothing holds its mark any more.
    bool Alive(pid_t pid) const;

private:
    int fd_ = -1;
    int depth_ = 0;
    std::string problem_;
};

// Holds the lock for a scope once Lock succeeded.
class HelperLockHold {
public:
    explicit HelperLockHold(HelperLock& lock) : lock_(lock) {}
    ~HelperLockHold() { lock_.Unlock(); }
    HelperLockHold(const HelperLockHold&) = delete;
    HelperLockHold& operator=(const HelperLockHold&) = delete;

private:
    HelperLock& lock_;
};

}  // namespace orvanta::netadmin

// What all running helpers share: one lock for the steps that must not
// interleave (count the held addresses, then add one; send one ARP frame),
// and a mark per helper that says it is still alive.
//
// Both are abstract Unix socket names, which belong to the network
// namespace: the lock is @orvanta-netadmin/lock, bound while held; the mark
// is @orvanta-netadmin/<owner>, bound and listening for as long as the
// helper lives. Every helper that can change this namespace's addresses sees
// the same names, whichever copy or version of the program it runs, and from
// whichever pid namespace; the kernel frees a name when its process ends,
// however it ends. The owner is the number the helper puts on its addresses:
// its process id, unless another helper (in another pid namespace) already
// holds that number, when it takes a free random one instead.
//
// The helper runs with its caller's user id (file capabilities, not
// set-user-id), so any file it could write, its caller could rewrite: a
// lock or record file would let a hostile user forge owners or reset the
// limits. Nothing here is a file. Which addresses, by which helper, lives on
// the addresses in the kernel, where only a holder of CAP_NET_ADMIN can
// write it; whose helper a mark is, the kernel says (SO_PEERCRED).
//
// Anyone may bind such a name. A user can hold the lock and so stall other
// helpers; they give up after a bounded wait and say so. A user can bind a
// dead helper's mark and so keep its addresses from being cleaned up by
// others: no more than what holding the four addresses would do. A live
// helper's mark cannot be taken from it.
#pragma once

#include <sys/types.h>

#include <cstdint>
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

    // The number this helper's addresses carry.
    uint32_t Owner() const { return owner_; }

    // Waits up to timeoutMs for the lock; nests within one process.
    bool Lock(int timeoutMs);
    void Unlock();

    struct Liveness {
        bool alive = true;
        long uid = -1;  // whose helper it is, -1 when the kernel did not say
    };
    // Whether the helper that marked its addresses `owner` may still be
    // running: not alive only when nothing holds its mark any more.
    Liveness Probe(uint32_t owner) const;

    // The listening mark: readable when a Probe knocked. DrainProbes
    // takes those knocks off the queue, so it never fills.
    int MarkFd() const { return mark_; }
    void DrainProbes() const;

private:
    int mark_ = -1;
    int lock_ = -1;
    int depth_ = 0;
    uint32_t owner_ = 0;
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

// Drains the discovery receive sockets on threads of their own. Cameras
// answer a search request all at once, and the kernel's receive buffer of an
// unprivileged process holds only a few hundred replies: the client's own
// reads, paced by its caller's timer, would lose the rest of a large
// installation's burst. One thread per socket blocks until datagrams arrive,
// takes them in batches with recvmmsg and queues them here; the client takes
// them from the queue on its own thread, as it would from the socket.
//
// Each queue is bounded (a flood of datagrams costs at most its capacity;
// what does not fit is dropped and counted), and its memory is given back
// when the socket is removed.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "core/discovery/DiscoveryProtocol.h"

namespace orvanta::discovery {

class DiscoveryReceiver {
public:
    // Room for the whole burst of a 20,000-camera site between two reads of
    // the client, at 288 bytes a datagram (about 6 MB once filled).
    static constexpr std::size_t kDefaultQueueDatagrams = 20480;

    explicit DiscoveryReceiver(std::size_t queueDatagrams = kDefaultQueueDatagrams);
    ~DiscoveryReceiver();

    DiscoveryReceiver(const DiscoveryReceiver&) = delete;
    DiscoveryReceiver& operator=(const DiscoveryReceiver&) = delete;

    // Starts draining `fd` (a non-blocking datagram socket). False when no
    // thread could be started; the socket is then left alone.
    bool Add(int fd);
    // Stops draining `fd` and frees its queue. The socket stays open.
    void Remove(int fd);
    bool Drains(int fd) const { return drains_.count(fd) != 0; }

    // Waits at most `timeoutMicroseconds` until a datagram is queued for one
    // of `handles` (all of which must be drained here); sets readable[i] for
    // each. Returns the number readable.
    int Wait(const std::vector<int>& handles, int timeoutMicroseconds, std::vector<bool>& readable);

    // Takes the oldest datagram queued for `fd` into `buffer`. Returns its
    // full length (more than `capacity` when it did not fit; the rest is
    // lost), or -1 when none is queued.
    long Take(int fd, uint8_t* buffer, std::size_t capacity);

    // Datagrams dropped because a queue was full, over this receiver's life.
    uint64_t Dropped() const { return dropped_.load(); }

private:
    // One datagram as read: its full length and the bytes that fit. One
    // byte beyond the largest reply shows that a datagram was longer.
    struct Datagram {
        uint32_t length;
        uint8_t bytes[kMaxReplySize + 1];
    };
    struct Drain;

    void Run(Drain& drain);
    // Moves `n` datagrams read by the thread into its queue; returns how many
    // did not fit.
    std::size_t Enqueue(Drain& drain, const Datagram* batch, std::size_t n);

    const std::size_t queueDatagrams_;
    // One lock for every queue: the client waits on all its sockets at once.
    mutable std::mutex mutex_;
    std::condition_variable queued_;
    std::map<int, std::unique_ptr<Drain>> drains_;  // touched by the client's thread only
    std::atomic<uint64_t> dropped_{0};
};

}  // namespace orvanta::discovery

#include "core/discovery/DiscoveryReceiver.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

namespace orvanta::discovery {

namespace {

// Datagrams taken by one recvmmsg call.
constexpr std::size_t kBatch = 64;

}  // namespace

struct DiscoveryReceiver::Drain {
    int fd = -1;
    int wakeFd = -1;  // written once to stop the thread
    // Also set to stop it: under a flood the thread never gets to its wait.
    std::atomic<bool> stop{false};
    std::thread thread;
    // The queue: a ring of `capacity` datagrams, `count` of them from `head`
    // on. Guarded by the receiver's mutex.
    std::unique_ptr<Datagram[]> ring;
    std::size_t capacity = 0;
    std::size_t head = 0;
    std::size_t count = 0;
    // The thread's own read buffers.
    Datagram batch[kBatch];
    iovec iov[kBatch];
    mmsghdr msgs[kBatch];
};

DiscoveryReceiver::DiscoveryReceiver(std::size_t queueDatagrams)
    : queueDatagrams_(queueDatagrams > 0 ? queueDatagrams : 1) {}

DiscoveryReceiver::~DiscoveryReceiver() {
    while (!drains_.empty()) Remove(drains_.begin()->first);
}

bool DiscoveryReceiver::Add(int fd) {
    if (fd < 0 || Drains(fd)) return false;
    auto drain = std::make_unique<Drain>();
    drain->fd = fd;
    // Left uninitialised, so that only the part a burst fills costs memory.
    drain->ring.reset(new (std::nothrow) Datagram[queueDatagrams_]);
    if (!drain->ring) return false;
    drain->capacity = queueDatagrams_;
    drain->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (drain->wakeFd < 0) return false;
    try {
        drain->thread = std::thread([this, d = drain.get()] { Run(*d); });
    } catch (const std::system_error&) {
        ::close(drain->wakeFd);
        return false;
    }
    drains_.emplace(fd, std::move(drain));
    return true;
}

void DiscoveryReceiver::Remove(int fd) {
    const auto it = drains_.find(fd);
    if (it == drains_.end()) return;
    Drain& drain = *it->second;
    drain.stop = true;
    const uint64_t one = 1;
    // The eventfd counter cannot overflow with one write; the thread sees it
    // at its next wait at the latest.
    (void)!::write(drain.wakeFd, &one, sizeof one);
    if (drain.thread.joinable()) drain.thread.join();
    ::close(drain.wakeFd);
    std::lock_guard<std::mutex> lock(mutex_);
    drains_.erase(it);
}

void DiscoveryReceiver::Run(Drain& drain) {
    // Signals stay with the program's own threads.
    sigset_t all;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, nullptr);

    for (std::size_t i = 0; i < kBatch; ++i) {
        drain.iov[i] = iovec{drain.batch[i].bytes, sizeof drain.batch[i].bytes};
        std::memset(&drain.msgs[i], 0, sizeof drain.msgs[i]);
        drain.msgs[i].msg_hdr.msg_iov = &drain.iov[i];
        drain.msgs[i].msg_hdr.msg_iovlen = 1;
    }
    pollfd fds[2] = {{drain.fd, POLLIN, 0}, {drain.wakeFd, POLLIN, 0}};
    while (!drain.stop) {
        // MSG_TRUNC reports a longer datagram's full length, so the client
        // can refuse it instead of taking it cut short.
        const int n = ::recvmmsg(drain.fd, drain.msgs, kBatch, MSG_DONTWAIT | MSG_TRUNC, nullptr);
        if (n > 0) {
            for (int i = 0; i < n; ++i) drain.batch[i].length = drain.msgs[i].msg_len;
            const std::size_t lost = Enqueue(drain, drain.batch, static_cast<std::size_t>(n));
            if (lost) dropped_ += lost;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // Nothing waiting (or an error, which the read has now cleared):
        // block until the next datagram or the stop.
        fds[0].revents = fds[1].revents = 0;
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno != EINTR) return;
        if (fds[1].revents) return;
        if (fds[0].revents & POLLNVAL) return;
    }
}

std::size_t DiscoveryReceiver::Enqueue(Drain& drain, const Datagram* batch, std::size_t n) {
    std::size_t taken = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (; taken < n && drain.count < drain.capacity; ++taken) {
            const Datagram& d = batch[taken];
            Datagram& slot = drain.ring[(drain.head + drain.count) % drain.capacity];
            slot.length = d.length;
            std::memcpy(slot.bytes, d.bytes, std::min<std::size_t>(d.length, sizeof slot.bytes));
            ++drain.count;
        }
    }
    if (taken) queued_.notify_all();
    return n - taken;
}

int DiscoveryReceiver::Wait(const std::vector<int>& handles, int timeoutMicroseconds,
                            std::vector<bool>& readable) {
    readable.assign(handles.size(), false);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::microseconds(timeoutMicroseconds);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        int n = 0;
        for (std::size_t i = 0; i < handles.size(); ++i) {
            const auto it = drains_.find(handles[i]);
            if (it != drains_.end() && it->second->count > 0) {
                readable[i] = true;
                ++n;
            }
        }
        if (n > 0 || std::chrono::steady_clock::now() >= deadline) return n;
        queued_.wait_until(lock, deadline);
    }
}

long DiscoveryReceiver::Take(int fd, uint8_t* buffer, std::size_t capacity) {
    const auto it = drains_.find(fd);
    if (it == drains_.end()) return -1;
    Drain& drain = *it->second;
    std::lock_guard<std::mutex> lock(mutex_);
    if (drain.count == 0) return -1;
    const Datagram& d = drain.ring[drain.head];
    std::memcpy(buffer, d.bytes, std::min<std::size_t>(d.length, std::min(capacity, sizeof d.bytes)));
    drain.head = (drain.head + 1) % drain.capacity;
    --drain.count;
    return static_cast<long>(d.length);
}

}  // namespace orvanta::discovery

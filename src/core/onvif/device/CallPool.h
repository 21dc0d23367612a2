// A few calls to one camera under way at once: a camera answers each call
// in its own time (50 to 300 ms is common on embedded firmware), so calls
// that do not depend on each other are sent side by side rather than one
// after another. The width is bounded per camera (six, as browsers keep
// per host): small firmware serves only a handful of connections, and one
// read must not crowd out the camera's own video clients.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace orvanta::onvif {

inline constexpr int kCallsAtOncePerCamera = 6;

class CallPool {
public:
    explicit CallPool(int width = kCallsAtOncePerCamera);
    // Runs what is still queued, then ends the threads.
    ~CallPool();
    CallPool(const CallPool&) = delete;
    CallPool& operator=(const CallPool&) = delete;

    // Queued behind what is waiting; `first`: ahead of it (a call others
    // wait on, such as the next step of a chain of calls).
    void Submit(std::function<void()> task, bool first = false);
    // Until every task submitted so far, and every task they submitted,
    // has run. Not from inside a task.
    void Wait();

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable ready_, idle_;
    std::deque<std::function<void()>> queue_;
    int running_ = 0;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace orvanta::onvif

// One worker thread running one piece of camera work, and what it tells the
// window's thread while it runs: how far it has come. The work owns whatever
// it works on (a copy of the settings record, say), so a thread that was
// given up on can be dropped whole: it writes only into its own state, which
// nobody reads any more.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace orvanta {

// Written by the worker, read by the window's thread at any time.
struct WorkerProgress {
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    void Step(int stepsDone, int stepsTotal) {
        total.store(stepsTotal, std::memory_order_relaxed);
        done.store(stepsDone, std::memory_order_relaxed);
    }
};

// The thread is joined only once it has said it is done, so the window's
// thread never blocks on it, except in the destructor (the window is closing
// and the work was told to stop first).
class WorkerThread {
public:
    using Body = std::function<void(WorkerProgress&)>;
    // `cancel` must be safe to call from any thread: it ends `body` at its next step.
    WorkerThread(Body body, std::function<void()> cancel);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // The zero-time-out wait: true once the body has returned (the thread
    // is joined then, so its writes are visible).
    bool Finished();
    void Cancel();
    const WorkerProgress& Progress() const { return state_->progress; }

private:
    struct State {
        WorkerProgress progress;
        std::atomic<bool> done{false};
    };
    std::shared_ptr<State> state_;
    std::function<void()> cancel_;
    std::thread thread_;
};

}  // namespace orvanta

#include "gui/app/WorkerThread.h"

namespace orvanta {

WorkerThread::WorkerThread(Body body, std::function<void()> cancel)
    : state_(std::make_shared<State>()), cancel_(std::move(cancel)) {
    thread_ = std::thread([s = state_, b = std::move(body)] {
        if (b) b(s->progress);
        s->done.store(true, std::memory_order_release);
    });
}

WorkerThread::~WorkerThread() {
    Cancel();
    if (thread_.joinable()) thread_.join();
}

bool WorkerThread::Finished() {
    if (!state_->done.load(std::memory_order_acquire)) return false;
    if (thread_.joinable()) thread_.join();
    return true;
}

void WorkerThread::Cancel() {
    if (cancel_) cancel_();
}

}  // namespace orvanta

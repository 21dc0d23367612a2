#include "core/onvif/device/CallPool.h"

#include <algorithm>

namespace orvanta::onvif {

CallPool::CallPool(int width) {
    for (int i = 0; i < std::max(1, width); ++i) threads_.emplace_back([this] { Work(); });
}

CallPool::~CallPool() {
    Wait();
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    ready_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void CallPool::Submit(std::function<void()> task, bool first) {
    {
        const std::lock_guard lock(mutex_);
        if (first) queue_.push_front(std::move(task));
        else queue_.push_back(std::move(task));
    }
    ready_.notify_one();
}

void CallPool::Wait() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && running_ == 0; });
}

void CallPool::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ready_.wait(lock, [this] { return closing_ || !queue_.empty(); });
        if (queue_.empty()) return;  // closing, nothing left
        std::function<void()> task = std::move(queue_.front());
        queue_.pop_front();
        ++running_;
        lock.unlock();
        task();
        lock.lock();
        --running_;
        if (queue_.empty() && running_ == 0) idle_.notify_all();
    }
}

}  // namespace orvanta::onvif

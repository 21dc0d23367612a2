// Threads that serve one side concurrently (a connection each, an address
// move) and use that side's objects: the group owns them, joins those that
// have finished as it goes, and joins the rest before the objects go.
#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace orvanta::camsim {

class ThreadGroup {
public:
    ThreadGroup() = default;
    ~ThreadGroup() { JoinAll(); }
    ThreadGroup(const ThreadGroup&) = delete;
    ThreadGroup& operator=(const ThreadGroup&) = delete;

    // Runs `work` on a thread of its own; callable from any thread,
    // including one of the group's.
    void Start(std::function<void()> work);
    // Joins the threads whose work has returned.
    void JoinFinished();
    // Joins every thread, those started meanwhile by the group's own included.
    void JoinAll();

private:
    struct Member {
        std::thread thread;
        std::atomic<bool> finished{false};
    };
    std::mutex mutex_;
    std::list<Member> members_;
};

}  // namespace orvanta::camsim

#include "ThreadGroup.h"

namespace orvanta::camsim {

void ThreadGroup::Start(std::function<void()> work) {
    std::lock_guard lock(mutex_);
    Member& m = members_.emplace_back();
    // The member's node stays where it is until the thread has been joined.
    m.thread = std::thread([&m, work = std::move(work)] {
        work();
        m.finished = true;
    });
}

void ThreadGroup::JoinFinished() {
    std::list<Member> done;
    {
        std::lock_guard lock(mutex_);
        for (auto it = members_.begin(); it != members_.end();) {
            const auto next = std::next(it);
            if (it->finished) done.splice(done.end(), members_, it);
            it = next;
        }
    }
    for (Member& m : done) m.thread.join();
}

void ThreadGroup::JoinAll() {
    for (;;) {
        std::list<Member> all;
        {
            std::lock_guard lock(mutex_);
            all.swap(members_);
        }
        if (all.empty()) return;
        // Joined outside the lock: a thread being joined may still start another.
        for (Member& m : all) m.thread.join();
    }
}

}  // namespace orvanta::camsim

// A point in time that no wait may pass, or none. Every wait of a camera
// request asks its deadline for the next slice, so all of them count down
// from one start time instead of each starting its own clock.
#pragma once

#include <chrono>

namespace orvanta {

class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    // No deadline: waits take their whole slice.
    static Deadline Never() { return Deadline(); }
    // `limitMs` from `start`; a limit of 0 or less means none.
    static Deadline After(int limitMs, Clock::time_point start = Clock::now());

    bool IsNever() const { return never_; }
    // The earlier of the two (Never is later than any time).
    Deadline Earlier(const Deadline& other) const;
    bool Passed(Clock::time_point now = Clock::now()) const;
    // How long the next wait may last: `sliceMs`, shortened so that it ends
    // at the deadline; 0 once the deadline has passed. A wait of part of a
    // millisecond is rounded up, so a caller never spins on zero-length
    // waits just before the deadline.
    int NextWaitMs(int sliceMs, Clock::time_point now = Clock::now()) const;

private:
    Deadline() = default;
    bool never_ = true;
    Clock::time_point at_{};
};

}  // namespace orvanta

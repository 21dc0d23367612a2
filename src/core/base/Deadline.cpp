#include "core/base/Deadline.h"

#include <algorithm>

namespace orvanta {

Deadline Deadline::After(int limitMs, Clock::time_point start) {
    Deadline d;
    if (limitMs <= 0) return d;
    d.never_ = false;
    d.at_ = start + std::chrono::milliseconds(limitMs);
    return d;
}

Deadline Deadline::Earlier(const Deadline& other) const {
    if (never_) return other;
    if (other.never_) return *this;
    return at_ <= other.at_ ? *this : other;
}

bool Deadline::Passed(Clock::time_point now) const { return !never_ && now >= at_; }

int Deadline::NextWaitMs(int sliceMs, Clock::time_point now) const {
    const int slice = std::max(sliceMs, 0);
    if (never_) return slice;
    if (now >= at_) return 0;
    // Whole milliseconds left, rounded up: (at - now) is positive here.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(at_ - now).count();
    return static_cast<int>(std::min<long long>(slice, left));
}

}  // namespace orvanta

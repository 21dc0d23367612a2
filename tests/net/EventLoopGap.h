// How long the window's thread stays away from its event loop: a short
// periodic timer on that thread, and the longest time between two of its
// ticks. Whatever holds the thread (a handler waiting on the network, or a
// test step calling the window directly) delays the next tick by as long,
// whether or not it runs inside an event dispatch.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

namespace orvanta::testing {

class EventLoopGap {
public:
    EventLoopGap() {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start(kPeriodMs);
        since_.start();
    }
    EventLoopGap(const EventLoopGap&) = delete;
    EventLoopGap& operator=(const EventLoopGap&) = delete;

    // Also the stretch since the last tick (the caller runs on the same thread).
    qint64 LongestMs() {
        Tick();
        return longest_;
    }

private:
    static constexpr int kPeriodMs = 5;

    void Tick() {
        longest_ = std::max(longest_, since_.restart());
    }

    QTimer timer_;
    QElapsedTimer since_;
    qint64 longest_ = 0;
};

}  // namespace orvanta::testing

// How long the window's thread stays away from its event loop: the longest
// stretch between the dispatcher waking up and it being about to wait again
// (nested loops of modal dialogs and waits count as returning). A window
// that waits on the network on its own thread shows it here as a long gap.
#pragma once

#include <QAbstractEventDispatcher>
#include <QElapsedTimer>
#include <QObject>

namespace orvanta::testing {

class EventLoopGap {
public:
    EventLoopGap() {
        auto* dispatcher = QAbstractEventDispatcher::instance();
        awake_ = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [this] { away_.start(); });
        block_ = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] { Returned(); });
        away_.start();
    }
    ~EventLoopGap() {
        QObject::disconnect(awake_);
        QObject::disconnect(block_);
    }
    EventLoopGap(const EventLoopGap&) = delete;
    EventLoopGap& operator=(const EventLoopGap&) = delete;

    // Also a gap that has not ended yet (the caller runs on the same thread).
    qint64 LongestMs() {
        Returned();
        return longest_;
    }

private:
    void Returned() {
        if (away_.isValid()) longest_ = std::max(longest_, away_.elapsed());
        away_.invalidate();
    }

    QElapsedTimer away_;
    qint64 longest_ = 0;
    QMetaObject::Connection awake_;
    QMetaObject::Connection block_;
};

}  // namespace orvanta::testing

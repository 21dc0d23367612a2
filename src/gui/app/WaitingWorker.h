// The one way the window runs work on a camera, for both protocols: the
// work on a worker thread, the window disabled meanwhile, and the wait
// window showing the progress the work itself reports, with a Cancel that
// ends the work at its next step. The window's thread only looks at the
// worker on each tick; it never waits for it.
//
// One work at a time. A work given up on (its ticks ran out) is cancelled
// and kept aside until its thread ends, and no new work starts meanwhile
// (WorkerAlive), so two workers never talk to a camera at once.
#pragma once

#include <QMetaObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "gui/app/WorkerThread.h"

namespace orvanta {

class WizardWindow;

class WaitingWorker {
public:
    struct Work {
        QString text;                    // the wait window's line
        WorkerThread::Body run;          // on the worker thread
        std::function<void()> cancel;    // from any thread: ends `run` at its next step
        std::function<void()> finished;  // on the window's thread, once `run` has returned
        // Ticks after which the work is given up (0: never, its own limits
        // end it); `gaveUp` then runs instead of `finished`.
        int giveUpTicks = 0;
        std::function<void()> gaveUp;
        int tickMs = 100;
        // Cancel ends the wait at once: the work is told to stop and left to
        // end on its own, as one given up on, and `cancelled` runs instead
        // of `finished`. For work whose waits a cancel cannot cut short.
        bool leaveOnCancel = false;
        std::function<void()> cancelled;
        // Short work passes unseen: the wait window shows (and the window is
        // disabled) only once the work has run this long. For work a page
        // repeats while it shows its own progress.
        int quietMs = 0;
    };

    explicit WaitingWorker(WizardWindow& window);
    ~WaitingWorker();
    WaitingWorker(const WaitingWorker&) = delete;
    WaitingWorker& operator=(const WaitingWorker&) = delete;

    void Start(Work work);
    // A work runs and its wait window shows.
    bool Busy() const { return current_ != nullptr; }
    // A worker, current or given up on, still runs.
    bool WorkerAlive();
    // One look at the worker: the wait window follows its progress, and the
    // work ends (finished or given up) when it is time.
    void Tick();
    // Ticks since the current work started.
    int Ticks() const { return ticks_; }
    // The current work ends at its next step.
    void CancelCurrent();
    // The wait window's Cancel (see Work::leaveOnCancel).
    void CancelClicked();
    // Tells every worker to stop (the window is closing).
    void CancelAll();
    // false: no timer runs and a test calls Tick itself.
    void SetTimersRunning(bool running) { timersRunning_ = running; }

private:
    void ShowWait();
    void ShowProgress();
    void EndWait();
    // Ends the wait on a work still running: it is cancelled and kept aside.
    void Leave();

    WizardWindow& window_;
    std::unique_ptr<WorkerThread> current_;
    Work work_;
    std::vector<std::unique_ptr<WorkerThread>> abandoned_;
    QTimer timer_;
    QMetaObject::Connection cancelConnection_;
    int ticks_ = 0;
    bool shown_ = false;
    bool timersRunning_ = true;
};

}  // namespace orvanta

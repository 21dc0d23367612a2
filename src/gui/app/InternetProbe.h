// The start-up check of the Internet: a connect to the deployment's probe
// host, on a worker thread, so that the window shows and answers while it
// waits (up to the probe's limits for a host that never answers). The
// answer comes back on the window's thread.
#pragma once

#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "core/http/TransportSettings.h"
#include "gui/app/WorkerThread.h"

namespace orvanta {

class InternetProbe {
public:
    using Done = std::function<void(bool reached)>;

    InternetProbe();
    // Joins a probe still running: it ends by its own limits.
    ~InternetProbe();
    InternetProbe(const InternetProbe&) = delete;
    InternetProbe& operator=(const InternetProbe&) = delete;

    // `done` runs on this thread once the probe has its answer.
    void Start(const TransportSettings& limits, std::string host, int port, Done done);
    bool Running() const { return thread_ != nullptr; }
    // One look at the worker (the timer's tick).
    void Poll();

private:
    std::unique_ptr<WorkerThread> thread_;
    std::shared_ptr<std::atomic<bool>> reached_;
    Done done_;
    QTimer timer_;
};

}  // namespace orvanta

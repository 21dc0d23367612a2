// What the main window hands to the one worker thread: the kind of job, the
// worker's own copy of the settings record, and the results it leaves.
//
// The worker never touches the live record. It works on `settings`, a copy
// taken when the task starts; the user-interface thread copies it back once
// the task has ended. That keeps the record free of races with the pages,
// and lets a task that was given up on be dropped whole: it writes only
// into its own copy, which nobody reads any more.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "core/camera/AccessPointScan.h"
#include "core/http/HttpResult.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

class CameraService;
namespace hostnet {
class HostNetwork;
}

enum class TaskKind {
    Read,          // the whole camera, then the address proposal
    Save,          // the normal save
    SaveAfterWps,  // the save once WPS has joined the camera to the network
};

struct WorkerTask {
    TaskKind kind = TaskKind::Read;
    CameraSettings settings;                 // the worker's own copy
    std::vector<AccessPointEntry> apList;    // the read's access point scan
    bool hasProbeResult = false;             // FindFreeAddress ran
    uint32_t probeResult = 0;                // its answer, network byte order
    bool succeeded = false;
    HttpResult lastResult;                   // the failing read's result
    // Not owned; the camera requests go through it (it is safe to call from
    // the worker while the user-interface thread uses it too).
    CameraService* camera = nullptr;
    // Not owned; the address walk of the read task goes through it.
    hostnet::HostNetwork* hostNetwork = nullptr;

    // Set by the worker as its last act; everything above is the worker's
    // until this reads true (release/acquire).
    std::atomic<bool> done{false};
};

// The steps of each kind, run on the worker thread.
void RunWorkerTask(WorkerTask& task);

// One worker thread and its task. The thread is joined only once it has
// said it is done, so the user-interface thread never blocks on it, except
// in the destructor (the window is closing, KeepConnecting is cleared and
// connects give up at once).
class WorkerThread {
public:
    using Body = std::function<void(WorkerTask&)>;

    WorkerThread(std::shared_ptr<WorkerTask> task, Body body);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // The zero-time-out wait: true once the task has ended (the thread is
    // joined then, so its writes are visible).
    bool Finished();
    // Tells the task to stop: its next connect gives up.
    void Cancel();
    WorkerTask& Task() { return *task_; }

private:
    std::shared_ptr<WorkerTask> task_;
    std::thread thread_;
};

}  // namespace orvanta

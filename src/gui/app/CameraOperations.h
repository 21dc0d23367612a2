// The commands that work on the camera itself rather than showing a page:
// reaching its subnet (17), reading it (18), saving to it (19) and scanning
// its access points on the spot (22), with the progress timers that watch
// the worker (timer 3) and find the camera again after a guided save
// (timer 4).
//
// One worker task at a time. The worker runs on its own copy of the record
// (see WorkerTask.h); a task given up on is cancelled and dropped, and no
// new task starts while it still runs, so it can never write to a camera
// beside a newer task.
#pragma once

#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "core/discovery/DiscoveredCamera.h"
#include "gui/app/KeptCameraResults.h"
#include "gui/app/WorkerTask.h"

namespace orvanta {

namespace discovery {
class CVorel;
}
class CWizardDlg;

class CameraOperations {
public:
    explicit CameraOperations(CWizardDlg& dlg);
    virtual ~CameraOperations();
    CameraOperations(const CameraOperations&) = delete;
    CameraOperations& operator=(const CameraOperations&) = delete;

    // Code 17: give the PC an address in the selected camera's subnet.
    virtual void EnsureCameraSubnet();
    // Code 18: read the selected camera on the worker.
    virtual void ReadCamera();
    // Code 19: save the settings to the camera on the worker.
    virtual void SaveCamera();
    // Code 22: scan the camera's access points now.
    virtual void ScanAccessPointsNow();

    // ---- seams for tests ----
    // What the worker thread runs for a task (RunWorkerTask by default).
    void SetTaskBody(WorkerThread::Body body) { body_ = std::move(body); }
    // One discovery step for timer 4, as CVorel::Search (by default the
    // window's own discovery client, made when first needed).
    using CameraSearch = std::function<int(discovery::DiscoveredCamera** records, int* count, int restart)>;
    void SetCameraSearch(CameraSearch search) { search_ = std::move(search); }

    // false: the timers are not started and the test calls the ticks itself.
    void SetTimersRunning(bool running) { timersRunning_ = running; }
    // One tick of timer 3 / timer 4 (the timers call these; tests may too).
    void TickProgress();
    void TickRefind();

    enum class Phase { Idle, Reading, Saving, Refinding };
    Phase CurrentPhase() const { return phase_; }
    int Position() const { return position_; }
    bool ProgressTimerActive() const { return phase_ == Phase::Reading || phase_ == Phase::Saving; }
    bool RefindTimerActive() const { return phase_ == Phase::Refinding; }
    // A worker, current or given up on, still runs.
    bool WorkerAlive();
    // Tells every worker to stop (the window is closing): their next
    // connect gives up and a read skips its address walk.
    void CancelWorkers();
    const KeptCameraResults& Kept() const { return kept_; }

private:
    void StartTask(int32_t kind);
    bool RefuseWhileBusy();
    void GiveUpTask();
    void ApplyTaskSettings(WorkerTask& task);
    void SetWait(int position);
    void HideWait();
    void ShowWait();
    void EndOperation();  // enable the window, hide the wait dialog
    void ShowMessage(int index, unsigned flags, const QString& caption = {});
    void FinishRead(WorkerTask& task);
    void FinishSave(WorkerTask& task);
    void StartRefind();
    int Search(discovery::DiscoveredCamera** records, int* count, int restart);

    CWizardDlg& dlg_;
    KeptCameraResults kept_;
    WorkerThread::Body body_;
    CameraSearch search_;
    std::unique_ptr<discovery::CVorel> vorel_;
    std::unique_ptr<WorkerThread> worker_;
    // Tasks given up on: cancelled, results dropped, joined once they end.
    std::vector<std::unique_ptr<WorkerThread>> abandoned_;
    std::unique_ptr<QObject> closeWatcher_;
    QTimer progressTimer_;
    QTimer refindTimer_;
    Phase phase_ = Phase::Idle;
    int position_ = 0;
    bool timersRunning_ = true;
};

}  // namespace orvanta

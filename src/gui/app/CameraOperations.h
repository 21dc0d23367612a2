// The commands that work on the camera itself rather than showing a page:
// reaching its subnet, reading it, saving to it and scanning its access
// points on the spot, with the two timers that watch the worker (progress)
// and find the camera again after a guided save (refind).
//
// One worker task at a time. The worker runs on its own copy of the record
// (see WorkerTask.h); a task given up on is cancelled and dropped, and no
// new task starts while it still runs, so it can never write to a camera
// beside a newer task.
#pragma once

#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "gui/framework/KeptCameraResults.h"
#include "gui/framework/Prompter.h"
#include "gui/app/WorkerTask.h"

namespace orvanta {

class CameraService;
class WizardWindow;
struct WizardMessages;

class CameraOperations {
public:
    explicit CameraOperations(WizardWindow& window);
    ~CameraOperations();
    CameraOperations(const CameraOperations&) = delete;
    CameraOperations& operator=(const CameraOperations&) = delete;

    // EnsureCameraSubnet: give the PC an address in the selected camera's subnet.
    void EnsureCameraSubnet();
    // ReadCamera: read the selected camera on the worker.
    void ReadCamera();
    // SaveCamera: save the settings to the camera on the worker.
    void SaveCamera();
    // ScanAccessPoints: scan the camera's access points now.
    void ScanAccessPointsNow();

    // false: the timers are not started and the test calls the ticks itself.
    void SetTimersRunning(bool running) { timersRunning_ = running; }
    // One tick of the progress / refind timer (the timers call these; tests may too).
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
    void StartTask(TaskKind kind);
    bool RefuseWhileBusy();
    void GiveUpTask();
    void ApplyTaskSettings(WorkerTask& task);
    void SetWait(int position);
    void HideWait();
    void ShowWait();
    void EndOperation();  // enable the window, hide the wait dialog
    const WizardMessages& Messages() const;
    void ShowMessage(const std::string& message, PromptIcon icon, const QString& caption = {});
    void FinishRead(WorkerTask& task);
    void FinishSave(WorkerTask& task);
    void StartRefind();
    void EndRefind();
    CameraService& Camera() const;

    WizardWindow& window_;
    KeptCameraResults kept_;
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

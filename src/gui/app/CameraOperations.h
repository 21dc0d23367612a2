// The commands that work on the camera itself rather than showing a page:
// reaching its subnet, logging in and reading it, saving to it and scanning
// its access points, each on the worker behind the wait window, and finding
// the camera again after a guided save (the refind timer).
//
// The operations are the camera service's; this class keeps the window's
// side: which message or page follows which outcome. The worker runs on its
// own copy of the record; the copy comes back once the work has ended
// (never from work that was given up on).
#pragma once

#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include <QString>

#include "core/camera/CameraService.h"
#include "gui/app/WaitingWorker.h"
#include "gui/framework/CameraWork.h"
#include "gui/framework/KeptCameraResults.h"
#include "gui/framework/Prompter.h"

namespace orvanta {

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
    // ReadCamera: log in (asking for the root password when the camera
    // refuses the empty login) and read the selected camera.
    void ReadCamera();
    // SaveCamera: save the settings to the camera.
    void SaveCamera();
    // ScanAccessPoints: scan the camera's access points now.
    void ScanAccessPointsNow();
    // A page's own request on the worker (the context's runCameraWork);
    // false while other work runs.
    bool RunForPage(CameraWork work);

    // false: the timers are not started and the test calls the ticks itself.
    void SetTimersRunning(bool running);
    // One tick of the worker's wait / the refind timer (the timers call these; tests may too).
    void TickProgress() { worker_.Tick(); }
    void TickRefind();

    enum class Phase { Idle, Reading, Saving, Scanning, Refinding };
    Phase CurrentPhase() const { return phase_; }
    // The refind's position: its searches and its give-up are timed by it.
    int Position() const { return position_; }
    bool RefindTimerActive() const { return phase_ == Phase::Refinding; }
    // A worker, current or given up on, still runs.
    bool WorkerAlive() { return worker_.WorkerAlive(); }
    // Tells every worker to stop (the window is closing).
    void CancelWorkers() { worker_.CancelAll(); }
    const KeptCameraResults& Kept() const { return kept_; }

private:
    struct Job;
    void StartRead(std::optional<CameraLogin> typed);
    void Run(Phase phase, const std::string& text, int tickMs, int giveUpTicks, std::shared_ptr<Job> job,
             void (CameraOperations::*finished)(Job&));
    bool RefuseWhileBusy();
    void TakeBack(const Job& job);
    void FinishRead(Job& job);
    void FinishSave(Job& job);
    void FinishScan(Job& job);
    void FinishFoundAgain(Job& job);
    void GaveUp(bool reading);
    void AskRootPassword();
    void StartRefind();
    void EndRefind();
    void SetRefindPosition(int position);
    const WizardMessages& Messages() const;
    void ShowMessage(const std::string& message, PromptIcon icon, const QString& caption = {});
    CameraService& Camera() const;

    WizardWindow& window_;
    KeptCameraResults kept_;
    WaitingWorker worker_;
    std::unique_ptr<QObject> closeWatcher_;
    QTimer refindTimer_;
    Phase phase_ = Phase::Idle;
    int position_ = 0;
    bool timersRunning_ = true;
};

}  // namespace orvanta

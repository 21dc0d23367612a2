#include "gui/app/CameraOperations.h"

#include <algorithm>

#include <QEvent>
#include <QThread>

#include "core/base/AddressText.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/CameraService.h"
#include "core/camera/SequenceDeadline.h"
#include "core/discovery/DiscoveredCamera.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/settings/FixedField.h"
#include "gui/app/WaitDialog.h"
#include "gui/app/WizardWindow.h"
#include "gui/dialogs/RootLoginDialog.h"
#include "gui/pages/SetupFinishedPage.h"
#include "gui/framework/PageIndex.h"

namespace orvanta {

namespace {

// Progress arithmetic of the two timers: the read is shown for six ticks
// before the worker is looked at and given up at 450; the save is shown for
// five and given up at 1000; the search for the restarted camera runs from
// 200 in steps of 100 and gives up at 1500.
constexpr int kReadRange = 450;
constexpr int kReadBlindUpTo = 250;
constexpr int kReadBlindStep = 50;
constexpr int kSaveRange = 1000;
constexpr int kSaveBlindUpTo = 40;
constexpr int kStep = 10;
constexpr int kRefindRange = 1500;
constexpr int kFirstSearchAt = 200;
constexpr int kSearchEvery = 100;

// The read right after the login dialog. ReadSysinfoAuth takes any answer
// as a reply, also the camera's "Unauthorized" for a wrong password, so on
// its own a refused password would pass here and fail only later, inside
// the read task, with the wrong message. The ordinary read of the same page
// tells a refusal apart; it runs on a scratch copy so that only the
// authenticated read fills the record.
// Closing the window cancels the workers at once, as clearing the live
// record's KeepConnecting would if they shared it; they work on copies.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(CameraOperations& ops) : ops_(ops) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) ops_.CancelWorkers();
        return false;
    }

private:
    CameraOperations& ops_;
};

// Ticks of the progress timer until a read is given up (TickProgress).
constexpr int ReadGiveUpTicks() {
    int ticks = 0;
    for (int p = 0;;) {
        ++ticks;
        if (p <= kReadBlindUpTo) p += kReadBlindStep;
        else if (p == kReadRange) return ticks;
        else p += kStep;
    }
}

// The requests made on this thread (the login reads, the visible access
// point scan, the NAT status read after the camera was found again) have no
// progress timer to give up on them: each may last as long as a whole read
// task would be waited for (but never less than a few seconds), so a stalling
// camera cannot hold the window longer than a read could.
int WindowThreadLimitMs(int readTickMs) { return std::max(ReadGiveUpTicks() * readTickMs, 3000); }

HttpResult ReadSysinfoAuthChecked(CameraService& camera, CameraSettings& s) {
    const HttpResult r = camera.ReadAfterLogin(s);
    if (r.Failed()) return r;
    CameraSettings scratch = s;
    return camera.ReadGroup(scratch, ParameterGroup::Sysinfo).status == HttpStatus::Unauthorized
               ? HttpStatus::Unauthorized
               : r;
}

}  // namespace

CameraOperations::CameraOperations(WizardWindow& window) : window_(window) {
    window_.Context().kept = &kept_;
    closeWatcher_ = std::make_unique<CloseWatcher>(*this);
    window_.installEventFilter(closeWatcher_.get());
    QObject::connect(&progressTimer_, &QTimer::timeout, [this] { TickProgress(); });
    QObject::connect(&refindTimer_, &QTimer::timeout, [this] { TickRefind(); });
}

CameraOperations::~CameraOperations() {
    progressTimer_.stop();
    refindTimer_.stop();
    if (window_.Context().kept == &kept_) window_.Context().kept = nullptr;
    window_.removeEventFilter(closeWatcher_.get());
    // Joining: every worker is told to stop first, so its connects give up.
    worker_.reset();
    abandoned_.clear();
}

CameraService& CameraOperations::Camera() const { return *window_.Context().camera; }

void CameraOperations::EnsureCameraSubnet() {
    if (window_.HostNet() == nullptr) return;
    hostnet::EnsureCameraSubnet(window_.Settings(), *window_.HostNet(), window_.Aliases());
}

bool CameraOperations::WorkerAlive() {
    // Given-up tasks that have ended are joined and forgotten here.
    for (auto it = abandoned_.begin(); it != abandoned_.end();)
        it = (*it)->Finished() ? abandoned_.erase(it) : it + 1;
    return !abandoned_.empty() || (worker_ && !worker_->Finished());
}

void CameraOperations::CancelWorkers() {
    if (worker_) worker_->Cancel();
    for (auto& w : abandoned_) w->Cancel();
}

bool CameraOperations::RefuseWhileBusy() {
    if (phase_ != Phase::Idle) return true;  // a task or the search runs
    if (!WorkerAlive()) return false;
    // A task given up on has not ended yet: starting another would let two
    // workers talk to the camera at once. The user may try again shortly.
    ShowMessage(Messages().noAnswer, PromptIcon::Warning);
    return true;
}

void CameraOperations::ReadCamera() {
    if (RefuseWhileBusy()) return;
    CameraSettings& s = window_.Settings();
    window_.setEnabled(false);
    kept_.Clear();
    // The camera may lie in another subnet than the PC.
    EnsureCameraSubnet();
    // Every read starts with the empty login.
    SetField(s.User, "");
    SetField(s.Password, "");
    const int loginLimitMs = WindowThreadLimitMs(window_.Timers().readTickMs);
    HttpResult first;
    {
        const SequenceDeadline bound(loginLimitMs);
        first = Camera().ReadGroup(s, ParameterGroup::Sysinfo);
    }
    // Out of time already: the read would be given up the same way.
    if (first.status == HttpStatus::TimedOut) {
        window_.setEnabled(true);
        ShowMessage(Messages().noAnswer, PromptIcon::Warning, QStringLiteral("Orvanta"));
        return;
    }
    // A refusal of the empty login asks for the root password.
    if (first.status == HttpStatus::Unauthorized) {
        RootLoginDialog login(window_.LanguageFilePath(), &window_);
        window_.Prompt().RunModal(login);  // OK or closed: the texts count either way
        SetField(s.User, login.UserText().toStdString());
        SetField(s.Password, login.PasswordText().toStdString());
        const SequenceDeadline bound(loginLimitMs);
        if (ReadSysinfoAuthChecked(Camera(), s).Failed()) {
            window_.setEnabled(true);
            ShowMessage(Messages().passwordRefused, PromptIcon::Critical);
            return;
        }
    }
    phase_ = Phase::Reading;
    SetWait(0);
    if (WaitDialog* wait = window_.PleaseWait()) {
        wait->SetRange(0, kReadRange);
        wait->SetText(QString::fromStdString(Messages().reading));
    }
    StartTask(TaskKind::Read);
    ShowWait();
    if (timersRunning_) progressTimer_.start(window_.Timers().readTickMs);
}

void CameraOperations::SaveCamera() {
    if (RefuseWhileBusy()) return;
    CameraSettings& s = window_.Settings();
    window_.setEnabled(false);
    phase_ = Phase::Saving;
    SetWait(0);
    if (WaitDialog* wait = window_.PleaseWait()) {
        wait->SetRange(0, kSaveRange);
        wait->SetText(QString::fromStdString(Messages().saving));
    }
    StartTask(s.UseWPS == 1 ? TaskKind::SaveAfterWps : TaskKind::Save);
    ShowWait();
    if (timersRunning_) progressTimer_.start(window_.Timers().saveTickMs);
}

void CameraOperations::StartTask(TaskKind kind) {
    auto t = std::make_shared<WorkerTask>();
    t->kind = kind;
    t->settings = window_.Settings();
    t->camera = &Camera();
    t->hostNetwork = window_.HostNet();
    worker_ = std::make_unique<WorkerThread>(std::move(t), RunWorkerTask);
}

void CameraOperations::ApplyTaskSettings(WorkerTask& task) {
    CameraSettings& live = window_.Settings();
    const uint8_t keep = live.KeepConnecting;
    live = task.settings;
    live.KeepConnecting = keep;
}

void CameraOperations::GiveUpTask() {
    if (!worker_) return;
    worker_->Cancel();
    abandoned_.push_back(std::move(worker_));
}

void CameraOperations::TickProgress() {
    if (phase_ != Phase::Reading && phase_ != Phase::Saving) {
        progressTimer_.stop();
        return;
    }
    const bool reading = phase_ == Phase::Reading;
    const int p = position_;
    if (p <= (reading ? kReadBlindUpTo : kSaveBlindUpTo)) {
        SetWait(p + (reading ? kReadBlindStep : kStep));
        return;
    }
    if (!worker_ || !worker_->Finished()) {
        SetWait(p + kStep);
        if (p == (reading ? kReadRange : kSaveRange)) {
            progressTimer_.stop();
            GiveUpTask();
            phase_ = Phase::Idle;
            EndOperation();
            ShowMessage(Messages().noAnswer, PromptIcon::Warning,
                        reading ? QStringLiteral("Orvanta") : QString());
        }
        return;
    }
    progressTimer_.stop();
    std::unique_ptr<WorkerThread> ended = std::move(worker_);
    // Fields read before a failing step stay filled, so the copy is taken
    // back on failure as well.
    ApplyTaskSettings(ended->Task());
    if (reading)
        FinishRead(ended->Task());
    else
        FinishSave(ended->Task());
}

void CameraOperations::FinishRead(WorkerTask& task) {
    phase_ = Phase::Idle;
    EndOperation();
    if (task.succeeded) {
        kept_.accessPoints = std::move(task.apList);
        kept_.hasProbeResult = task.hasProbeResult;
        kept_.probeResult = task.probeResult;
        window_.PostCommand(window_.Settings().NewEnvironment == 1 ? WizardCommand::ShowOptionPage : WizardCommand::ShowSystemPage);
        return;
    }
    if (task.lastResult.status == HttpStatus::Unauthorized)
        ShowMessage(Messages().accessRefused, PromptIcon::Critical);
    else
        ShowMessage(Messages().noAnswer, PromptIcon::Warning);
}

void CameraOperations::FinishSave(WorkerTask& task) {
    phase_ = Phase::Idle;
    EndOperation();
    if (!task.succeeded) {
        ShowMessage(Messages().noAnswer, PromptIcon::Warning);
        return;
    }
    const CameraSettings& s = window_.Settings();
    ShowMessage(s.LinkWireless == 1 && s.HasWireless == 1 ? Messages().savedWireless : Messages().saved,
                PromptIcon::Information);
    if (s.WizardMode == 1 && s.NewEnvironment == 1)
        StartRefind();
    else
        window_.PostCommand(WizardCommand::StartOver);
}

void CameraOperations::StartRefind() {
    phase_ = Phase::Refinding;
    SetWait(0);
    if (WaitDialog* wait = window_.PleaseWait()) {
        wait->SetRange(0, kRefindRange);
        wait->SetText(QString::fromStdString(Messages().refinding));
    }
    ShowWait();
    if (timersRunning_) refindTimer_.start(window_.Timers().refindTickMs);
}

void CameraOperations::TickRefind() {
    if (phase_ != Phase::Refinding) {
        refindTimer_.stop();
        return;
    }
    window_.setEnabled(false);
    const int p = position_;
    SetWait(p + kStep);
    if (p >= kRefindRange) {
        EndRefind();
        ShowMessage(Messages().notFoundAgain, PromptIcon::Warning);
        window_.PostCommand(WizardCommand::StartOver);
        EndOperation();
        return;
    }
    if (p % kSearchEvery != 0 || p < kFirstSearchAt) return;

    // The first search after the save starts afresh, so a camera that
    // answers it always counts as a change.
    const SearchResult result = Camera().SearchStep(p == kFirstSearchAt);
    if (result.change != SearchChange::Rebuilt) return;
    CameraSettings& s = window_.Settings();
    for (const discovery::DiscoveredCamera& rec : result.cameras) {
        if (FieldText(rec.SerialNo) != FieldText(s.CamSerial)) continue;
        const discovery::DiscoveredCamera found = rec;  // the client's records go with the search
        EndRefind();
        SetField(s.CamIP, FieldText(found.IpText));
        SetField(s.CamPort, FieldText(found.PortText));
        if (!ParseIpv4(s.CamIP, s.CamAddr)) s.CamAddr = 0xFFFFFFFFu;
        window_.HandleCommand(WizardCommand::EnsureCameraSubnet);
        {
            const SequenceDeadline bound(WindowThreadLimitMs(window_.Timers().readTickMs));
            (void)Camera().ReadGroup(s, ParameterGroup::NatStatus);
        }
        HideWait();
        ShowMessage(Messages().foundAgain, PromptIcon::Information);
        window_.setEnabled(true);
        if (auto* finish = static_cast<SetupFinishedPage*>(window_.Page(kPageSetupFinished))) finish->SetFoundCamera(found);
        window_.PostCommand(WizardCommand::ShowSetupFinishedPage);
        return;
    }
}

void CameraOperations::EndRefind() {
    refindTimer_.stop();
    phase_ = Phase::Idle;
    Camera().EndSearch();
}

void CameraOperations::ScanAccessPointsNow() {
    WaitDialog* wait = window_.PleaseWait();
    const int pause = window_.Timers().scanStepSleepMs;
    const auto step = [&](int position) {
        if (wait) {
            wait->SetPos(position);
            wait->repaint();
        }
        QThread::msleep(static_cast<unsigned long>(pause));
    };
    // The wait dialog shows a little progress before the scan itself.
    if (wait) {
        wait->SetPos(0);
        wait->show();
        wait->repaint();
    }
    step(20);
    step(40);
    step(60);
    CameraSettings& s = window_.Settings();
    kept_.accessPoints.clear();
    {
        const SequenceDeadline bound(WindowThreadLimitMs(window_.Timers().readTickMs));
        kept_.accessPoints = Camera().ScanAccessPoints(s, nullptr);
    }
    step(80);
    if (s.APScanOK == 0) {
        HideWait();
        ShowMessage(Messages().noAnswer, PromptIcon::Warning);
        return;
    }
    step(100);
    HideWait();
    window_.PostCommand(s.UseWPS == 1 ? WizardCommand::ShowWpsPage : WizardCommand::ShowAccessPointScanPage);
}

void CameraOperations::SetWait(int position) {
    position_ = position;
    if (WaitDialog* wait = window_.PleaseWait()) wait->SetPos(position);
}

void CameraOperations::ShowWait() {
    if (WaitDialog* wait = window_.PleaseWait()) {
        wait->show();
        wait->repaint();
    }
}

void CameraOperations::HideWait() {
    WaitDialog* wait = window_.PleaseWait();
    // Some window systems report the pop-up visible for a moment after the
    // first hide; a few more are cheap and bounded.
    for (int i = 0; wait != nullptr && i < 5 && wait->isVisible(); ++i) wait->hide();
}

void CameraOperations::EndOperation() {
    window_.setEnabled(true);
    HideWait();
}

const WizardMessages& CameraOperations::Messages() const { return window_.Messages(); }

void CameraOperations::ShowMessage(const std::string& message, PromptIcon icon, const QString& caption) {
    const QString text = QString::fromStdString(message);
    window_.Prompt().Ask(&window_, Prompt{text, caption, icon, PromptButtons::Ok});
}

}  // namespace orvanta

#include "gui/app/CameraOperations.h"

#include <algorithm>
#include <vector>

#include <QEvent>

#include "core/http/HttpTransport.h"
#include "core/discovery/DiscoveredCamera.h"
#include "core/hostnet/AddressProbe.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/settings/FixedField.h"
#include "gui/app/WaitDialog.h"
#include "gui/app/WizardWindow.h"
#include "gui/dialogs/RootLoginDialog.h"
#include "gui/framework/PageIndex.h"
#include "gui/pages/SetupFinishedPage.h"

namespace orvanta {

namespace {

// How long the window waits for a worker before it gives the work up, in
// ticks of the work's timer: a read (the login with it) 22 ticks of the
// read timer, a save 101 ticks of the save timer. The wait window shows
// the operation's own steps meanwhile.
constexpr int kReadGiveUpTicks = 22;
constexpr int kSaveGiveUpTicks = 101;
// A scan, or the read of a camera found again, is bounded like a read,
// but never by less than a few seconds.
constexpr int kShortWorkAtLeastMs = 3000;
// The search for the restarted camera runs from 200 in steps of 100 of its
// timer's position (a tick adds 10) and gives up at 1500.
constexpr int kRefindRange = 1500;
constexpr int kRefindStep = 10;
constexpr int kFirstSearchAt = 200;
constexpr int kSearchEvery = 100;

int ShortWorkTicks(int tickMs) {
    return std::max(kReadGiveUpTicks, (kShortWorkAtLeastMs + tickMs - 1) / std::max(tickMs, 1));
}

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

}  // namespace

// One piece of work on the worker: its own copy of the record and what it
// leaves for the window's thread.
struct CameraOperations::Job {
    enum class Kind { Read, Save, Scan, FoundAgain } kind = Kind::Read;
    CameraSettings settings;
    CameraService* camera = nullptr;
    hostnet::HostNetwork* hostNetwork = nullptr;
    // The window's temporary addresses: a read and a camera found again
    // first give the PC an address in the camera's subnet (an ARP probe may
    // wait for answers, so on the worker too). One work at a time touches them.
    hostnet::AddedAddresses* aliases = nullptr;
    std::optional<CameraLogin> typed;   // the credentials typed after the empty login was refused
    discovery::DiscoveredCamera found{};  // the camera that answered again
    CameraResult login;
    CameraResult result;
    std::vector<AccessPointEntry> apList;
    // The window ends a work by cancelling it (its Cancel, or its ticks
    // running out), not by a deadline of its own.
    const Deadline within = Deadline::Never();
    std::optional<Ipv4Address> proposal;  // FindFreeAddress's answer, when it ran

    void ReachSubnet() {
        if (hostNetwork != nullptr && aliases != nullptr) hostnet::EnsureCameraSubnet(settings, *hostNetwork, *aliases);
    }

    void Run(WorkerProgress& progress) {
        // The read's total counts its login too; the others report as they go.
        const int after = kind == Kind::Read ? 6 : 0;
        int base = 0;
        const StepReport report = [&](const CameraStep& step) {
            progress.Step(base + step.done, base + step.total + after);
        };
        switch (kind) {
            case Kind::Read: ReadCamera(progress, report, base); break;
            case Kind::Save:
                result = camera->Save(settings, settings.UseWPS == 1 ? SaveForm::AfterWps : SaveForm::Normal,
                                      within, report);
                break;
            case Kind::Scan: result = camera->ScanAccessPoints(settings, apList, within, report); break;
            case Kind::FoundAgain:
                ReachSubnet();
                result = camera->ReadFoundAgain(settings, found, within);
                break;
        }
    }

    void ReadCamera(WorkerProgress& progress, const StepReport& loginReport, int& base) {
        // The camera may lie in another subnet than the PC.
        ReachSubnet();
        login = typed ? camera->LogInAs(settings, *typed, within, loginReport)
                      : camera->LogIn(settings, {}, within, loginReport);
        if (!login.ok()) return;
        base = progress.done.load();
        const StepReport readReport = [&](const CameraStep& step) { progress.Step(base + step.done, base + step.total); };
        result = camera->Read(settings, apList, within, readReport);
        // The address proposal for the quick IP page; a PPPoE camera gets its
        // address from the provider. A cancelled read skips the ARP walk.
        if (result.ok() && settings.LinkPPPoE != 1 && hostNetwork != nullptr && KeepConnectingNow(settings)) {
            proposal = Ipv4Address::FromNetworkOrder(hostnet::FindFreeAddressForCamera(settings, *hostNetwork));
        }
    }
};

CameraOperations::CameraOperations(WizardWindow& window) : window_(window), worker_(window) {
    window_.Context().kept = &kept_;
    window_.Context().runCameraWork = [this](CameraWork work) { return RunForPage(std::move(work)); };
    closeWatcher_ = std::make_unique<CloseWatcher>(*this);
    window_.installEventFilter(closeWatcher_.get());
    QObject::connect(&refindTimer_, &QTimer::timeout, [this] { TickRefind(); });
}

CameraOperations::~CameraOperations() {
    refindTimer_.stop();
    if (window_.Context().kept == &kept_) window_.Context().kept = nullptr;
    window_.Context().runCameraWork = nullptr;
    window_.removeEventFilter(closeWatcher_.get());
}

CameraService& CameraOperations::Camera() const { return *window_.Context().camera; }

void CameraOperations::SetTimersRunning(bool running) {
    timersRunning_ = running;
    worker_.SetTimersRunning(running);
}

void CameraOperations::EnsureCameraSubnet() {
    if (window_.HostNet() == nullptr) return;
    hostnet::EnsureCameraSubnet(window_.Settings(), *window_.HostNet(), window_.Aliases());
}

bool CameraOperations::RefuseWhileBusy() {
    if (phase_ != Phase::Idle) return true;  // a work or the search runs
    if (!worker_.WorkerAlive()) return false;
    // Work given up on has not ended yet: starting more would let two
    // workers talk to the camera at once. The user may try again shortly.
    ShowMessage(Messages().noAnswer, PromptIcon::Warning);
    return true;
}

void CameraOperations::Run(Phase phase, const std::string& text, int tickMs, int giveUpTicks,
                           std::shared_ptr<Job> job, void (CameraOperations::*finished)(Job&)) {
    job->camera = &Camera();
    job->hostNetwork = window_.HostNet();
    phase_ = phase;
    WaitingWorker::Work work;
    work.text = QString::fromStdString(text);
    work.run = [job](WorkerProgress& progress) { job->Run(progress); };
    work.cancel = [job] { SetKeepConnecting(job->settings, false); };
    work.finished = [this, job, finished] {
        phase_ = Phase::Idle;
        TakeBack(*job);
        (this->*finished)(*job);
    };
    work.giveUpTicks = giveUpTicks;
    // A camera found again that does not answer its NAT status read is
    // still found; any other work given up on did not happen.
    if (phase == Phase::Refinding)
        work.gaveUp = [this, job] {
            phase_ = Phase::Idle;
            FinishFoundAgain(*job);
        };
    else
        work.gaveUp = [this, reading = phase == Phase::Reading] { GaveUp(reading); };
    work.tickMs = tickMs;
    worker_.Start(std::move(work));
}

void CameraOperations::TakeBack(const Job& job) {
    // Fields read before a failing step stay filled, so the copy comes back
    // on failure as well; the window's own KeepConnecting stays.
    CameraSettings& live = window_.Settings();
    const uint8_t keep = live.KeepConnecting;
    live = job.settings;
    live.KeepConnecting = keep;
}

void CameraOperations::GaveUp(bool reading) {
    phase_ = Phase::Idle;
    ShowMessage(Messages().noAnswer, PromptIcon::Warning, reading ? QStringLiteral("Orvanta") : QString());
}

void CameraOperations::ReadCamera() {
    if (RefuseWhileBusy()) return;
    CameraSettings& s = window_.Settings();
    kept_.Clear();
    // Every read starts with the empty login.
    SetField(s.User, "");
    SetField(s.Password, "");
    StartRead(std::nullopt);
}

void CameraOperations::StartRead(std::optional<CameraLogin> typed) {
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Read;
    job->settings = window_.Settings();
    job->typed = std::move(typed);
    job->aliases = &window_.Aliases();
    Run(Phase::Reading, Messages().reading, window_.Timers().readTickMs, kReadGiveUpTicks, std::move(job),
        &CameraOperations::FinishRead);
}

void CameraOperations::AskRootPassword() {
    RootLoginDialog login(window_.LanguageFilePath(), &window_);
    window_.Prompt().RunModal(login);  // OK or closed: the texts count either way
    CameraLogin typed;
    typed.user = login.UserText().toStdString();
    typed.password = login.PasswordText().toStdString();
    CameraSettings& s = window_.Settings();
    SetField(s.User, *typed.user);
    SetField(s.Password, *typed.password);
    StartRead(std::move(typed));
}

void CameraOperations::FinishRead(Job& job) {
    switch (job.login.outcome) {
        case CameraOutcome::Done: break;
        // A refusal of the empty login asks for the root password.
        case CameraOutcome::LoginRequired: AskRootPassword(); return;
        case CameraOutcome::Refused: ShowMessage(Messages().passwordRefused, PromptIcon::Critical); return;
        case CameraOutcome::Cancelled: return;
        default:
            ShowMessage(Messages().noAnswer, PromptIcon::Warning,
                        job.login.last.status == HttpStatus::TimedOut ? QStringLiteral("Orvanta") : QString());
            return;
    }
    switch (job.result.outcome) {
        case CameraOutcome::Done:
            kept_.accessPoints = std::move(job.apList);
            kept_.proposal = job.proposal;
            window_.PostCommand(window_.Settings().NewEnvironment == 1 ? WizardCommand::ShowOptionPage
                                                                       : WizardCommand::ShowSystemPage);
            return;
        case CameraOutcome::Cancelled: return;
        // A refusal is told apart from every other failure.
        case CameraOutcome::Refused: ShowMessage(Messages().accessRefused, PromptIcon::Critical); return;
        default: ShowMessage(Messages().noAnswer, PromptIcon::Warning); return;
    }
}

void CameraOperations::SaveCamera() {
    if (RefuseWhileBusy()) return;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Save;
    job->settings = window_.Settings();
    Run(Phase::Saving, Messages().saving, window_.Timers().saveTickMs, kSaveGiveUpTicks, std::move(job),
        &CameraOperations::FinishSave);
}

void CameraOperations::FinishSave(Job& job) {
    if (job.result.outcome == CameraOutcome::Cancelled) return;
    if (!job.result.ok()) {
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

void CameraOperations::ScanAccessPointsNow() {
    if (RefuseWhileBusy()) return;
    kept_.accessPoints.clear();
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Scan;
    job->settings = window_.Settings();
    const int tickMs = window_.Timers().readTickMs;
    Run(Phase::Scanning, Messages().reading, tickMs, ShortWorkTicks(tickMs), std::move(job),
        &CameraOperations::FinishScan);
}

bool CameraOperations::RunForPage(CameraWork work) {
    if (phase_ != Phase::Idle || worker_.WorkerAlive()) return false;
    struct PageJob {
        CameraWork work;
        CameraService* camera = nullptr;
        CameraSettings copy;
    };
    auto job = std::make_shared<PageJob>();
    job->work = std::move(work);
    job->camera = &Camera();
    job->copy = window_.Settings();
    WaitingWorker::Work w;
    w.text = job->work.text.isEmpty() ? QString::fromStdString(Messages().reading) : job->work.text;
    w.run = [job](WorkerProgress& progress) {
        progress.Step(0, 1);
        job->work.run(*job->camera, job->copy);
        progress.Step(1, 1);
    };
    w.cancel = [job] { SetKeepConnecting(job->copy, false); };
    // The work keeps its copy; the callbacks run on this thread only.
    w.finished = [job] {
        if (job->work.finished) job->work.finished(job->copy);
    };
    w.leaveOnCancel = true;
    w.cancelled = [job] {
        if (job->work.cancelled) job->work.cancelled();
    };
    w.quietMs = job->work.quietMs;
    w.tickMs = window_.Timers().readTickMs;
    worker_.Start(std::move(w));
    return true;
}

void CameraOperations::FinishScan(Job& job) {
    kept_.accessPoints = std::move(job.apList);
    if (job.result.outcome == CameraOutcome::Cancelled) return;
    if (window_.Settings().APScanOK == 0) {
        ShowMessage(Messages().noAnswer, PromptIcon::Warning);
        return;
    }
    window_.PostCommand(window_.Settings().UseWPS == 1 ? WizardCommand::ShowWpsPage
                                                       : WizardCommand::ShowAccessPointScanPage);
}

void CameraOperations::StartRefind() {
    phase_ = Phase::Refinding;
    window_.setEnabled(false);
    SetRefindPosition(0);
    if (WaitDialog* wait = window_.PleaseWait()) {
        wait->SetRange(0, kRefindRange);
        wait->SetText(QString::fromStdString(Messages().refinding));
        wait->show();
        wait->repaint();
    }
    if (timersRunning_) refindTimer_.start(window_.Timers().refindTickMs);
}

void CameraOperations::TickRefind() {
    if (phase_ != Phase::Refinding || worker_.Busy()) {
        refindTimer_.stop();
        return;
    }
    window_.setEnabled(false);
    const int p = position_;
    SetRefindPosition(p + kRefindStep);
    if (p >= kRefindRange) {
        EndRefind();
        if (WaitDialog* wait = window_.PleaseWait()) wait->hide();
        window_.setEnabled(true);
        ShowMessage(Messages().notFoundAgain, PromptIcon::Warning);
        window_.PostCommand(WizardCommand::StartOver);
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
        CameraService::AimAtFound(s, found);
        auto job = std::make_shared<Job>();
        job->kind = Job::Kind::FoundAgain;
        job->settings = s;
        job->found = found;
        job->aliases = &window_.Aliases();
        const int tickMs = window_.Timers().readTickMs;
        Run(Phase::Refinding, Messages().refinding, tickMs, ShortWorkTicks(tickMs), std::move(job),
            &CameraOperations::FinishFoundAgain);
        return;
    }
}

void CameraOperations::FinishFoundAgain(Job& job) {
    // The NAT status is a nicety: the camera was found again either way.
    ShowMessage(Messages().foundAgain, PromptIcon::Information);
    if (auto* finish = static_cast<SetupFinishedPage*>(window_.Page(kPageSetupFinished)))
        finish->SetFoundCamera(job.found);
    window_.PostCommand(WizardCommand::ShowSetupFinishedPage);
}

void CameraOperations::EndRefind() {
    refindTimer_.stop();
    phase_ = Phase::Idle;
    Camera().EndSearch();
}

void CameraOperations::SetRefindPosition(int position) {
    position_ = position;
    if (WaitDialog* wait = window_.PleaseWait()) wait->SetPos(position);
}

const WizardMessages& CameraOperations::Messages() const { return window_.Messages(); }

void CameraOperations::ShowMessage(const std::string& message, PromptIcon icon, const QString& caption) {
    const QString text = QString::fromStdString(message);
    window_.Prompt().Ask(&window_, Prompt{text, caption, icon, PromptButtons::Ok});
}

}  // namespace orvanta

#include "gui/pages/WpsPage.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "core/camera/CameraService.h"
#include "gui/framework/TimerSettings.h"

namespace orvanta {
namespace {

constexpr int kStep = 40;           // counter added per tick
constexpr int kFirstQuery = 450;    // queries from here on
constexpr int kRepeatFrom = 500;    // a silent camera gets the start again
constexpr int kRepeatTo = 600;      //   at 520, 560 and 600
constexpr int kEnd = 1200;          // the attempt ends here (30 ticks)
constexpr int kSucceeded = 1500;    // full bar: the camera joined
// A request that answers within this time passes without the wait window.
constexpr int kQuietMs = 400;

// The page's messages, kept from its section.
constexpr const char* kAskRescan = "Message1";   // no access point known: scan now?
constexpr const char* kNotJoined = "Message2";   // the attempt ended without the camera
constexpr const char* kJoined = "Message3";      // the camera joined the network
constexpr const char* kStartFailed = "Message4";  // the start request did not reach the camera

}  // namespace

WpsPage::WpsPage(QWidget* parent) : WizardPage(174, "WPSPage", parent) {
    AddPicture(0, Dlu(8, 30, 330, 150), 216);
    QLabel* note = AddStatic(kNote, Dlu(20, 186, 350, 30), QString());
    progress_ = new QProgressBar(this);
    progress_->setGeometry(Dlu(20, 220, 250, 12));
    progress_->setRange(0, kSucceeded);
    progress_->setValue(0);
    Name(progress_, kProgress, QStringLiteral("Progress"));
    start_ = AddButton(kStart, Dlu(280, 216, 90, 20), QStringLiteral("WPS Start"));
    AddStepTitle(kTitle, "TitleWPS", kMessageCapacity, QString());

    Captions({{note, "Note", kMessageCapacity}, {start_, "BtnStart"}});
    KeptTexts({{kAskRescan, 2048}, {kNotJoined, 2048}, {kJoined, 2048}, {kStartFailed, 2048}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &WpsPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &WpsPage::OnNext);
    connect(start_, &QAbstractButton::clicked, this, &WpsPage::OnStart);

    // The WPS tick; a child of the page, and stopped first when the page goes.
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("wpsTimer"));
    connect(timer_, &QTimer::timeout, this, &WpsPage::OnTick);
}

WpsPage::~WpsPage() { timer_->stop(); }

void WpsPage::Request(WpsAction action, std::function<void(HttpResult)> then) {
    if (!Context() || !Context()->runCameraWork) {
        then(HttpStatus::ConnectFailed);
        return;
    }
    auto result = std::make_shared<HttpResult>(HttpStatus::ConnectFailed);
    CameraWork work;
    work.quietMs = kQuietMs;
    work.run = [action, result](CameraService& camera, CameraSettings& copy) {
        *result = camera.Wps(copy, action, Deadline::Never());
    };
    const QPointer<WpsPage> self(this);
    work.finished = [self, result, then](const CameraSettings& copy) {
        if (!self || !self->running_) return;
        // A failed query leaves the pair as it was, in the copy as here.
        self->Settings().WPSState = copy.WPSState;
        self->Settings().WPSAck = copy.WPSAck;
        then(*result);
    };
    work.cancelled = [self] {
        if (self) self->Stop();
    };
    if (!Context()->runCameraWork(std::move(work))) then(HttpStatus::ConnectFailed);
}

void WpsPage::LoadFromSettings() {
    const CameraSettings& s = Settings();
    if (s.APCount == 0) {
        progress_->hide();
        start_->setEnabled(false);
        if (Ask(Kept(kAskRescan), QString(), PromptIcon::Information, PromptButtons::YesNo) == PromptAnswer::Yes)
            PostCommand(WizardCommand::ScanAccessPoints);
        return;
    }
    if (s.WPSAck == 0) OnStart();
}

void WpsPage::OnStart() {
    progress_->setValue(0);
    progress_->show();
    counter_ = 0;
    running_ = true;
    SetEnabledAll({BackButton(), NextButton(), start_}, false);
    Request(WpsAction::Start, [this](HttpResult r) {
        if (!r.Failed()) {
            const int period = Context() && Context()->timers ? Context()->timers->wpsTickMs : 5000;
            timer_->start(period);
            return;
        }
        running_ = false;
        BackButton()->setEnabled(true);
        Ask(Kept(kStartFailed), QString(), PromptIcon::Critical);
    });
}

void WpsPage::OnTick() {
    counter_ += kStep;
    progress_->setValue(std::min(counter_, kEnd));
    if (counter_ < kFirstQuery) return;
    if (counter_ >= kEnd) {
        Finish();
        return;
    }
    timer_->stop();
    Request(WpsAction::Status, [this](HttpResult) { AfterStatus(); });
}

void WpsPage::AfterStatus() {
    const CameraSettings& s = Settings();
    if (s.WPSState == 0 && s.WPSAck == 1) {
        counter_ = kSucceeded;
        progress_->setValue(kSucceeded);
        Finish();
    } else if (s.WPSState == 0 && s.WPSAck == 0 && counter_ >= kRepeatFrom && counter_ <= kRepeatTo) {
        Request(WpsAction::Start, [this](HttpResult) { GoOn(); });
    } else {
        GoOn();
    }
}

void WpsPage::GoOn() {
    if (running_) timer_->start();
}

// Cancelled: the attempt ends where it is, without a message.
void WpsPage::Stop() {
    timer_->stop();
    running_ = false;
    BackButton()->setEnabled(true);
    start_->setEnabled(true);
    progress_->hide();
}

void WpsPage::Finish() {
    // The timer stops before any message: a modal box must not let further
    // ticks query the camera underneath it.
    timer_->stop();
    running_ = false;
    BackButton()->setEnabled(true);
    start_->setEnabled(true);
    progress_->hide();
    const CameraSettings& s = Settings();
    if (s.WPSState == 0 && s.WPSAck == 0) {
        NextButton()->setEnabled(false);
        Ask(Kept(kNotJoined), QString(), PromptIcon::Warning);
    } else if (s.WPSState == 0 && s.WPSAck == 1) {
        NextButton()->setEnabled(true);
        Ask(Kept(kJoined), QString(), PromptIcon::Information);
    }
}

void WpsPage::OnBack() {
    timer_->stop();
    running_ = false;
    PostCommand(WizardCommand::ShowWpsPicturePage);
}

void WpsPage::OnNext() {
    timer_->stop();
    running_ = false;
    PostCommand(WizardCommand::ShowUpnpPortsPage);
}

}  // namespace orvanta

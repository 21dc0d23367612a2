#include "gui/app/WaitingWorker.h"

#include <algorithm>

#include "gui/app/WaitDialog.h"
#include "gui/app/WizardWindow.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

namespace {
constexpr int kCancelCapacity = 64;
}  // namespace

WaitingWorker::WaitingWorker(WizardWindow& window) : window_(window) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
}

WaitingWorker::~WaitingWorker() {
    timer_.stop();
    QObject::disconnect(cancelConnection_);
    // Joining: every worker is told to stop first, so its waits give up.
    CancelAll();
    current_.reset();
    abandoned_.clear();
}

bool WaitingWorker::WorkerAlive() {
    // Given-up workers that have ended are joined and forgotten here.
    std::erase_if(abandoned_, [](const auto& w) { return w->Finished(); });
    return !abandoned_.empty() || (current_ && !current_->Finished());
}

void WaitingWorker::CancelCurrent() {
    if (current_) current_->Cancel();
}

void WaitingWorker::CancelClicked() {
    if (!current_) return;
    if (!work_.leaveOnCancel) {
        CancelCurrent();
        return;
    }
    Leave();
    const auto cancelled = std::move(work_.cancelled);
    if (cancelled) cancelled();
}

void WaitingWorker::Leave() {
    timer_.stop();
    current_->Cancel();
    abandoned_.push_back(std::move(current_));
    EndWait();
}

void WaitingWorker::CancelAll() {
    CancelCurrent();
    for (auto& w : abandoned_) w->Cancel();
}

void WaitingWorker::Start(Work work) {
    work_ = std::move(work);
    ticks_ = 0;
    shown_ = false;
    if (work_.quietMs <= 0) ShowWait();
    current_ = std::make_unique<WorkerThread>(work_.run, work_.cancel);
    if (timersRunning_) timer_.start(work_.tickMs);
}

void WaitingWorker::ShowWait() {
    shown_ = true;
    window_.setEnabled(false);
    if (WaitDialog* wait = window_.PleaseWait()) {
        // The window makes its wait window once it starts, after this object.
        if (!cancelConnection_)
            cancelConnection_ = QObject::connect(wait, &WaitDialog::CancelClicked, [this] { CancelClicked(); });
        wait->SetText(work_.text);
        wait->SetProgress(0, 0);
        // The provisioning dialog's Cancel caption is the one every language has.
        wait->SetCancelText(WizardPage::Text(window_.Language(), "DlgProvision", "BtnCancel", kCancelCapacity));
        wait->SetCancelShown(true);
        wait->show();
        wait->repaint();
    }
}

void WaitingWorker::Tick() {
    if (!current_) {
        timer_.stop();
        return;
    }
    ++ticks_;
    if (current_->Finished()) {
        timer_.stop();
        current_.reset();
        EndWait();
        // The callback may start the next work (a login, then the read).
        const auto finished = std::move(work_.finished);
        if (finished) finished();
        return;
    }
    if (work_.giveUpTicks > 0 && ticks_ >= work_.giveUpTicks) {
        Leave();
        const auto gaveUp = std::move(work_.gaveUp);
        if (gaveUp) gaveUp();
        return;
    }
    if (!shown_ && ticks_ * work_.tickMs >= work_.quietMs) ShowWait();
    ShowProgress();
}

void WaitingWorker::ShowProgress() {
    WaitDialog* wait = window_.PleaseWait();
    if (wait == nullptr || !current_) return;
    const WorkerProgress& p = current_->Progress();
    wait->SetProgress(p.done.load(std::memory_order_relaxed), p.total.load(std::memory_order_relaxed));
}

void WaitingWorker::EndWait() {
    if (!shown_) return;
    shown_ = false;
    window_.setEnabled(true);
    WaitDialog* wait = window_.PleaseWait();
    if (wait != nullptr) wait->SetCancelShown(false);
    // Some window systems report the pop-up visible for a moment after the
    // first hide; a few more are cheap and bounded.
    for (int i = 0; wait != nullptr && i < 5 && wait->isVisible(); ++i) wait->hide();
}

}  // namespace orvanta

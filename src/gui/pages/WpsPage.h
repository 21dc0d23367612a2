// The WPS page: starts push-button WPS on the camera and follows it.
//
// A timer ticks every WPS period (5 s in the running wizard) and adds 40 to
// a counter: queries start at 450 (the 12th tick), the start request is
// repeated at 520, 560 and 600 while the camera shows no sign of WPS, and
// the attempt ends at 1200 (the 30th tick) or when the camera reports
// success.
//
// Every request runs on the window's worker; the tick timer rests while one
// is out, so a slow camera delays the count as it would a person watching.
// The wait window shows only for a request that takes a while, and its
// Cancel ends the attempt.
#pragma once

#include <functional>

#include "core/http/HttpResult.h"
#include "core/camera/WpsRequest.h"
#include "gui/framework/WizardPage.h"

class QProgressBar;
class QTimer;

namespace orvanta {

class WpsPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kNote = 1305,
        kProgress = 1212,
        kStart = 1215,
        kTitle = 1354,
        kBack = 1213,
        kNext = 1214,
    };

    explicit WpsPage(QWidget* parent = nullptr);
    ~WpsPage() override;

    // Code 26: the entry step (ask for a rescan, or start WPS unless the
    // camera already acknowledged it).
    void LoadFromSettings() override;

    int Counter() const { return counter_; }
    // An attempt runs (its ticks, or a request of it on the worker).
    bool Running() const { return running_; }

protected slots:
    virtual void OnBack();
    virtual void OnNext();
    void OnStart();
    void OnTick();

private:
    // Sends `action` on the worker; `then` gets its result on this thread.
    // Only the WPS pair of the record comes back from the worker's copy.
    void Request(WpsAction action, std::function<void(HttpResult)> then);
    void AfterStatus();
    // The ticks go on unless the attempt is over.
    void GoOn();
    void Stop();
    void Finish();

    QProgressBar* progress_ = nullptr;
    QPushButton* start_ = nullptr;
    QTimer* timer_ = nullptr;
    int counter_ = 0;
    bool running_ = false;
};

}  // namespace orvanta

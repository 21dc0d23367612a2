// The WPS page: starts push-button WPS on the camera and follows it.
//
// A timer ticks every WPS period (5 s in the running wizard) and adds 40 to
// a counter: queries start at 450 (the 12th tick), the start request is
// repeated at 520, 560 and 600 while the camera shows no sign of WPS, and
// the attempt ends at 1200 (the 30th tick) or when the camera reports
// success.
#pragma once

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
    bool Running() const;

protected slots:
    virtual void OnBack();
    virtual void OnNext();
    void OnStart();
    void OnTick();

private:
    HttpResult Request(WpsAction action);
    void Finish();

    QProgressBar* progress_ = nullptr;
    QPushButton* start_ = nullptr;
    QTimer* timer_ = nullptr;
    int counter_ = 0;
};

}  // namespace orvanta

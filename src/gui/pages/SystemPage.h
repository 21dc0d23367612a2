// The system page: the camera's host name and description, and how its
// clock is set (keep it, take the PC's now, typed by hand, or NTP with a time
// zone and an update interval). The first page of the manual setup.
#pragma once

#include <ctime>
#include <functional>

#include "gui/framework/WizardPage.h"

namespace orvanta {

class SystemPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kHostNameLabel = 1326,
        kHostName = 1119,
        kDescriptionLabel = 1327,
        kDescription = 1120,
        kKeepRadio = 1176,
        kSyncRadio = 1177,
        kManualRadio = 1178,
        kDateLabel = 1328,
        kDate = 1128,
        kTimeLabel = 1329,
        kTime = 1129,
        kAutomaticRadio = 1179,
        kNtpServerLabel = 1330,
        kNtpServer = 1023,
        kTimeZoneLabel = 1369,
        kTimeZone = 1027,
        kIntervalLabel = 1370,
        kInterval = 1026,
        kTitle = 1239,
        kBack = 1118,
        kNext = 1117,
    };

    explicit SystemPage(QWidget* parent = nullptr);

    void OnInitPage() override;
    void LoadFromSettings() override;

    // Where "Sync with computer time" takes the time from (the PC's clock
    // unless a test sets another).
    void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

    // Selections the lists start with.
    static constexpr int kInitialTimeZone = 20;
    static constexpr int kInitialInterval = 12;

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    void StoreTimeMode();

    QLineEdit* hostName_ = nullptr;
    QLineEdit* description_ = nullptr;
    QRadioButton* keep_ = nullptr;
    QRadioButton* sync_ = nullptr;
    QRadioButton* manual_ = nullptr;
    QRadioButton* automatic_ = nullptr;
    QLineEdit* date_ = nullptr;
    QLineEdit* time_ = nullptr;
    QLineEdit* ntpServer_ = nullptr;
    QComboBox* timeZone_ = nullptr;
    QComboBox* interval_ = nullptr;
    // The date and time last loaded from the record or taken from the PC.
    QString dateText_;
    QString timeText_;
    std::function<std::time_t()> clock_;
};

}  // namespace orvanta

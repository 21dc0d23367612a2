// The name and clock of an ONVIF camera: its host name, and whether it keeps
// time with an NTP server or takes this computer's time and time zone. A
// clock far off is said here (and, beyond a day, that logins are signed on
// it), and set whatever the choice.
#pragma once

#include "gui/framework/WizardPage.h"

class QRadioButton;

namespace orvanta {

class OnvifClockPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kHostNameLabel = 3041,
        kHostName = 3042,
        kNtpRadio = 3043,
        kNtpLabel = 3044,
        kNtpServer = 3045,
        kPcTimeRadio = 3046,
        kTimeZone = 3047,
        kClockNote = 3048,
        kTitle = 3049,
        kBack = 3050,
        kNext = 3051,
    };

    // Off by more than this, the camera's clock is shown and set.
    static constexpr int64_t kLargeOffsetSeconds = 300;

    explicit OnvifClockPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

    // "the camera's clock is 183 days behind; it will be set" in the
    // page's language, for an offset (camera minus PC) in seconds; beyond
    // a day, followed by the note that requests are signed on its clock.
    QString OffsetText(int64_t offsetSeconds) const;

private:
    void SetNtp(bool ntp);
    void OnBack();
    void OnNext();

    QLineEdit* hostName_ = nullptr;
    QRadioButton* ntp_ = nullptr;
    QLineEdit* ntpServer_ = nullptr;
    QRadioButton* pcTime_ = nullptr;
    QLabel* timeZone_ = nullptr;
    QLabel* clockNote_ = nullptr;
};

}  // namespace orvanta

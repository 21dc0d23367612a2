// The first page of an ONVIF camera's set-up: which camera (its name and
// hardware as it announced them, its address and the PC's card it answered
// on) and the ONVIF user to log in as. Next reads the camera; when the read
// fails the page comes back saying plainly why (a refused password, no such
// ONVIF user, ONVIF switched off, no answer).
#pragma once

#include "gui/framework/WizardPage.h"

namespace orvanta {

class OnvifLoginPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kCameraLabel = 3001,
        kCamera = 3002,
        kAddressLabel = 3003,
        kAddress = 3004,
        kCardLabel = 3005,
        kCard = 3006,
        kUserLabel = 3007,
        kUser = 3008,
        kPasswordLabel = 3009,
        kPassword = 3010,
        kNote = 3011,
        kStatus = 3012,
        kTitle = 3013,
        kBack = 3014,
        kNext = 3015,
    };

    explicit OnvifLoginPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

private:
    void OnBack();
    void OnNext();

    QLineEdit* camera_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* card_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace orvanta

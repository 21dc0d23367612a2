// The ISP link type page: the camera reaches the Internet through the LAN or
// dials out itself by PPPoE with the account typed here (password typed
// twice).
#pragma once

#include "gui/framework/WizardPage.h"

namespace orvanta {

class IspLinkPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kLanRadio = 1093,
        kPppoeRadio = 1092,
        kUserLabel = 1306,
        kUser = 1094,
        kPasswordLabel = 1307,
        kPassword = 1095,
        kConfirmLabel = 1308,
        kConfirm = 1096,
        kTitle = 1241,
        kBack = 1065,
        kNext = 1064,
    };

    explicit IspLinkPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    void SetAccountEnabled(bool enabled);

    QRadioButton* lan_ = nullptr;
    QRadioButton* pppoe_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* confirm_ = nullptr;
};

}  // namespace orvanta

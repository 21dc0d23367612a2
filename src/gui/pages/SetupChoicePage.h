// The connection choice page: a new environment or not, and by which link.
#pragma once

#include "gui/framework/WizardPage.h"

class QRadioButton;

namespace orvanta {

class SetupChoicePage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kQuestion = 1273,
        kYesRadio = 1216,
        kLanRadio = 1218,
        kWirelessRadio = 1219,
        kPppoeRadio = 1220,
        kNoRadio = 1217,
        kManualNote = 1274,
        kBack = 1213,
        kNext = 1214,
    };

    explicit SetupChoicePage(QWidget* parent = nullptr);

    void OnInitPage() override;
    void LoadFromSettings() override;

private:
    void OnYes();
    void OnNo();
    void OnBack();
    void OnNext();

    QRadioButton* yes_ = nullptr;
    QRadioButton* no_ = nullptr;
    QRadioButton* lan_ = nullptr;
    QRadioButton* wireless_ = nullptr;
    QRadioButton* pppoe_ = nullptr;
};

}  // namespace orvanta

// The option page: guided wizard or manual setup, offered once the camera
// has been read.
#pragma once

#include "gui/framework/WizardPage.h"

class QRadioButton;

namespace orvanta {

class OptionPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kWizardRadio = 1068,
        kWizardNote = 1275,
        kManualRadio = 1069,
        kManualNote = 1276,
        kTitle = 1243,
        kBack = 1001,
        kNext = 1034,
    };

    explicit OptionPage(QWidget* parent = nullptr);

    void OnInitPage() override;
    void LoadFromSettings() override;

private:
    void OnBack();
    void OnNext();

    QRadioButton* wizard_ = nullptr;
    QRadioButton* manual_ = nullptr;
    QLabel* wizardNote_ = nullptr;
};

}  // namespace orvanta

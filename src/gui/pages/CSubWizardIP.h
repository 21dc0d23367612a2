// The quick IP page: DHCP or a fixed address for the camera in the guided
// setup, with a test of whether the address is free.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubWizardIP : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubWizardIP(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    void LoadFromSettings() override;

private:
    void OnDhcp();
    void OnFixed();
    void OnAddressChanged();
    void OnTest();
    void OnBack();
    void OnNext();
};

}  // namespace orvanta

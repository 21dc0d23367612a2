// The option page: guided wizard or manual setup, offered once the camera
// has been read.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubOption : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubOption(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    void OnInitPage() override;
    void LoadFromSettings() override;

private:
    void OnBack();
    void OnNext();
};

}  // namespace orvanta

// The connection choice page: a new environment or not, and by which link.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubChoose : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubChoose(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    void OnInitPage() override;
    void LoadFromSettings() override;

private:
    void OnYes();
    void OnNo();
    void OnBack();
    void OnNext();
};

}  // namespace orvanta

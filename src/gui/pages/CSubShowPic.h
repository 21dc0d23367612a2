// The connection diagram page: how to cable the camera for the chosen link.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubShowPic : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubShowPic(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    void LoadFromSettings() override;

private:
    void OnBack();
    void OnNext();
};

}  // namespace orvanta

// The setup finished page: the camera's new address and a link to its web
// page.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubSetupFinish : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubSetupFinish(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

protected slots:
    // What this page's own buttons do comes with the page's flow; until
    // then they do nothing.
    virtual void OnNext();
};

}  // namespace orvanta

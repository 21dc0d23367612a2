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

protected slots:
    // What this page's own buttons do comes with the page's flow; until
    // then they do nothing.
    virtual void OnBack();
    virtual void OnNext();
};

}  // namespace orvanta

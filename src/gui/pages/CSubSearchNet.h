// The camera search page: the list of cameras found on the local network, a
// button that starts or stops a search, and Next/Exit.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubSearchNet : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubSearchNet(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

protected slots:
    // What this page's own buttons do comes with the page's flow; until
    // then they do nothing.
    virtual void OnBack();
    virtual void OnNext();
};

}  // namespace orvanta

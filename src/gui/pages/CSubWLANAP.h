// The wireless AP page: the network the camera is to join, typed by hand,
// with only the security controls of the chosen security type shown.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubWLANAP : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubWLANAP(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

protected slots:
    // What this page's own buttons do comes with the page's flow; until
    // then they do nothing.
    virtual void OnBack();
    virtual void OnNext();
};

}  // namespace orvanta

// The ISP link type page: the camera reaches the Internet through the LAN or
// dials out itself by PPPoE with the account typed here.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubLANISP : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubLANISP(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

protected slots:
    // What this page's own buttons do comes with the page's flow; until
    // then they do nothing.
    virtual void OnBack();
    virtual void OnNext();
};

}  // namespace orvanta

// The LAN IP page: DHCP or a fixed address for the camera's wired interface.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubLANIP : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubLANIP(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

protected slots:
    // What this page's own buttons do comes with the page's flow; until
    // then they do nothing.
    virtual void OnBack();
    virtual void OnNext();
};

}  // namespace orvanta

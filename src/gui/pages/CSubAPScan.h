// The access point scan page: the networks the camera found, the details of
// the chosen one and the key its security needs.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubAPScan : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubAPScan(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

protected slots:
    // What this page's own buttons do comes with the page's flow; until
    // then they do nothing.
    virtual void OnBack();
    virtual void OnNext();
};

}  // namespace orvanta

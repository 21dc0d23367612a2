// The WPS picture page: press WPS on the router, then Next.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubWPSPic : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubWPSPic(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();
};

}  // namespace orvanta

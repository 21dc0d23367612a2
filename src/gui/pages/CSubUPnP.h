// The UPnP and ports page: UPnP on or off and the three port numbers.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include <cstdint>

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubUPnP : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubUPnP(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    void LoadFromSettings() override;

    // A port edit's text as a number: leading blanks, a sign and the
    // leading digits; no digits read as 0.
    static int32_t PortNumber(const QString& text);

private:
    void OnBack();
    void OnNext();
};

}  // namespace orvanta

// The DDNS page: dynamic DNS on or off, the provider and the account.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubDDNS : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubDDNS(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    void OnInitPage() override;
    void LoadFromSettings() override;

    // The provider text: the value last loaded from or written to DDNSSrv.
    const QString& ProviderText() const { return providerText_; }

private:
    void FillProviders(bool all);
    void OnEnableClicked();
    void OnBack();
    void OnNext();

    QString providerText_;
};

}  // namespace orvanta

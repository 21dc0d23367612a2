// The ISP link type page: the camera reaches the Internet through the LAN or
// dials out itself by PPPoE with the account typed here (password typed
// twice).
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubLANISP : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubLANISP(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;
    void LoadFromSettings() override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    void SetAccountEnabled(bool enabled);

    QRadioButton* lan_ = nullptr;
    QRadioButton* pppoe_ = nullptr;
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
    QLineEdit* confirm_ = nullptr;
};

}  // namespace orvanta

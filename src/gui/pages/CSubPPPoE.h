// The PPPoE page: the camera's PPPoE account in the guided setup, offering
// the user name of the PC's own dial-up connection as a start.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubPPPoE : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubPPPoE(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;
    void LoadFromSettings() override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    QLineEdit* user_ = nullptr;
    QLineEdit* password_ = nullptr;
};

}  // namespace orvanta

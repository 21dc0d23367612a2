// The wireless IP page: DHCP or a fixed address for the camera's wireless
// interface.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/IpModePage.h"

namespace orvanta {

class CSubWLANIP : public IpModePage {
    Q_OBJECT
public:
    explicit CSubWLANIP(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;
    void LoadFromSettings() override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    IpModeControls::Fields RecordFields() const;
};

}  // namespace orvanta

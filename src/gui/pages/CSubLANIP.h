// The LAN IP page: DHCP or a fixed address for the camera's wired interface.
// Next stores the choice and leads on to the wireless pages or past them,
// asking whether to set up the wireless link when the camera has one.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/IpModePage.h"

namespace orvanta {

class CSubLANIP : public IpModePage {
    Q_OBJECT
public:
    explicit CSubLANIP(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;
    void LoadFromSettings() override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    IpModeControls::Fields RecordFields() const;
};

}  // namespace orvanta

// The summary page: what will be written to the camera, in five boxes,
// and the button that saves it.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubSetAutoParam : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubSetAutoParam(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    // Builds the five summary texts from the record (command 21).
    void LoadFromSettings() override;

    QString SystemText() const { return system_; }
    QString NetworkText() const { return network_; }
    QString WirelessText() const { return wireless_; }
    QString UpnpText() const { return upnp_; }
    QString DdnsText() const { return ddns_; }

private:
    void OnBack();
    void OnSave();

    QString system_;
    QString network_;
    QString wireless_;
    QString upnp_;
    QString ddns_;
};

}  // namespace orvanta

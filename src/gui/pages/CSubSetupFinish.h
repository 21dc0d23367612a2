// The setup finished page: the camera's new address and a link to its web
// page.
// Controls carry their template ids as object names (see CWizardPage).
#pragma once

#include "core/discovery/DiscoveredCamera.h"
#include "gui/pages/CWizardPage.h"

namespace orvanta {

class CSubSetupFinish : public CWizardPage {
    Q_OBJECT
public:
    explicit CSubSetupFinish(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;

    void OnInitPage() override;
    void LoadFromSettings() override;

    // The camera found again after the save; the page keeps its own copy.
    void SetFoundCamera(const discovery::DiscoveredCamera& camera);

    // The camera's web address as the page shows it.
    QString WebAddress() const;

private:
    void OnLink();
    void OnFinish();

    discovery::DiscoveredCamera camera_{};
    QString mac_, ip_, port_, sport_, descInterface_, serial_, mask_;
};

}  // namespace orvanta

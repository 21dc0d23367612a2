// The setup finished page: the camera's new address and a link to its web
// page.
#pragma once

#include "core/discovery/DiscoveredCamera.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

class SetupFinishedPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kMark = 1272,
        kAddressLabel = 1296,
        kAddress = 1022,
        kCameraIdLabel = 1297,
        kCameraId = 1250,
        kMacLabel = 1298,
        kMac = 1020,
        kPortLabel = 1300,
        kPort = 1251,
        kSecondPortLabel = 1301,
        kSecondPort = 1252,
        kInterfaceLabel = 1299,
        kInterface = 1253,
        kLinkState = 1254,
        kLink = 1262,
        kFinish = 1249,
    };

    explicit SetupFinishedPage(QWidget* parent = nullptr);

    void OnInitPage() override;
    void LoadFromSettings() override;

    // The camera found again after the save; the page keeps its own copy.
    void SetFoundCamera(const discovery::DiscoveredCamera& camera);

    // The camera's web address as the page shows it.
    QString WebAddress() const;

private:
    void OnLink();
    void OnFinish();

    QLineEdit* address_ = nullptr;
    QLineEdit* cameraId_ = nullptr;
    QLineEdit* macText_ = nullptr;
    QLineEdit* portText_ = nullptr;
    QLineEdit* secondPort_ = nullptr;
    QLineEdit* interface_ = nullptr;
    QLabel* linkState_ = nullptr;
    discovery::DiscoveredCamera camera_{};
    QString mac_, ip_, port_, sport_, descInterface_, serial_, mask_;
};

}  // namespace orvanta

// The address of an ONVIF camera: DHCP or a fixed address with its mask,
// gateway and DNS server, with the free address the login proposed and
// "Test this IP" as on our own cameras' pages. A line above says what the
// camera has now, and a small picture of what it sees beside the fields
// tells the installer which camera this is.
#pragma once

#include "gui/framework/WizardPage.h"

class QRadioButton;

namespace orvanta {

class OnvifAddressPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kCurrent = 3021,
        kDhcpRadio = 3022,
        kFixedRadio = 3023,
        kAddressLabel = 3024,
        kAddress = 3025,
        kMaskLabel = 3026,
        kMask = 3027,
        kGatewayLabel = 3028,
        kGateway = 3029,
        kDnsLabel = 3030,
        kDns = 3031,
        kTestButton = 3032,
        kNote = 3033,
        kTitle = 3034,
        kBack = 3035,
        kNext = 3036,
        kPicture = 3037,
    };

    explicit OnvifAddressPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

private:
    void SetFixed(bool fixed);
    void OnTest();
    void OnBack();
    void OnNext();

    QLabel* current_ = nullptr;
    QLabel* picture_ = nullptr;
    AddressChoice choice_;
};

}  // namespace orvanta

// The quick IP page: DHCP or a fixed address for the camera in the guided
// setup, with a test of whether the address is free.
#pragma once

#include "gui/framework/WizardPage.h"

class QPushButton;
class QRadioButton;

namespace orvanta {

class QuickAddressPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kDhcpRadio = 1234,
        kFixedRadio = 1236,
        kAddressLabel = 1278,
        kAddress = 1227,
        kMaskLabel = 1279,
        kMask = 1228,
        kGatewayLabel = 1280,
        kGateway = 1229,
        kDnsLabel = 1281,
        kDns = 1233,
        kTestButton = 1230,
        kNote = 1282,
        kTitle = 1351,
        kBack = 1231,
        kNext = 1232,
    };

    explicit QuickAddressPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

private:
    void OnDhcp();
    void OnFixed();
    void OnTest();
    void OnBack();
    void OnNext();

    AddressChoice choice_;
};

}  // namespace orvanta

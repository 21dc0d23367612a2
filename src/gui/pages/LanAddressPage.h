// The LAN IP page: DHCP or a fixed address for the camera's wired interface.
// Next stores the choice and leads on to the wireless pages or past them,
// asking whether to set up the wireless link when the camera has one.
#pragma once

#include "gui/pages/IpModePage.h"

namespace orvanta {

class LanAddressPage : public IpModePage {
    Q_OBJECT
public:
    enum Id : int {
        kDhcpRadio = 1097,
        kFixedRadio = 1098,
        kAddressLabel = 1309,
        kMaskLabel = 1310,
        kGatewayLabel = 1311,
        kDnsLabel = 1312,
        kDns2Label = 1313,
        kAddress = 1014,
        kMask = 1015,
        kGateway = 1016,
        kDns = 1017,
        kDns2 = 1018,
        kTitle = 1240,
        kBack = 1040,
        kNext = 1004,
    };

    explicit LanAddressPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    IpModeControls::Fields RecordFields() const;
};

}  // namespace orvanta

// The wireless IP page: DHCP or a fixed address for the camera's wireless
// interface.
#pragma once

#include "gui/pages/IpModePage.h"

namespace orvanta {

class WirelessAddressPage : public IpModePage {
    Q_OBJECT
public:
    enum Id : int {
        kDhcpRadio = 1161,
        kFixedRadio = 1162,
        kAddressLabel = 1314,
        kMaskLabel = 1315,
        kGatewayLabel = 1316,
        kDnsLabel = 1317,
        kDns2Label = 1318,
        kAddress = 1101,
        kMask = 1102,
        kGateway = 1103,
        kDns = 1104,
        kDns2 = 1105,
        // Part of the page's template, never shown and without a handler.
        kExit = 1106,
        kTitle = 1353,
        kBack = 1108,
        kNext = 1107,
    };

    explicit WirelessAddressPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    IpModeControls::Fields RecordFields() const;
};

}  // namespace orvanta

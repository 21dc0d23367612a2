#include "gui/pages/WirelessAddressPage.h"

#include <QPushButton>

namespace orvanta {

WirelessAddressPage::WirelessAddressPage(QWidget* parent) : IpModePage(162, "WLANIPPage", parent) {
    AddIpModeBlock({kDhcpRadio,
                    kFixedRadio,
                    {kAddressLabel, kMaskLabel, kGatewayLabel, kDnsLabel, kDns2Label},
                    {kAddress, kMask, kGateway, kDns, kDns2}},
                   QStringLiteral("DHCP Wireless IP"), QStringLiteral("Fixed Wireless IP"));
    AddButton(kExit, Dlu(160, 242, 60, 20), QStringLiteral("Exit"))->hide();
    AddStepTitle(kTitle, "TitleWLAN", kMessageCapacity, QStringLiteral(""));
    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &WirelessAddressPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &WirelessAddressPage::OnNext);
}

IpModeControls::Fields WirelessAddressPage::RecordFields() const {
    CameraSettings& s = Settings();
    return {IpModeControls::Of(s.WIPAddr), IpModeControls::Of(s.WNetmask), IpModeControls::Of(s.WGateway),
            IpModeControls::Of(s.WDNS1), IpModeControls::Of(s.WDNS2)};
}

void WirelessAddressPage::LoadFromSettings() { mode_.Load(Settings().WIPType, RecordFields(), /*enableOnFixed=*/true); }

void WirelessAddressPage::OnBack() { PostCommand(WizardCommand::ShowWirelessNetworkPage); }

void WirelessAddressPage::OnNext() {
    if (!mode_.Store(Settings().WIPType, RecordFields())) {
        Ask(QStringLiteral("Please choose one !"), QStringLiteral("Orvanta"), PromptIcon::None);
        return;
    }
    PostCommand(WizardCommand::ShowUpnpPortsPage);
}

}  // namespace orvanta

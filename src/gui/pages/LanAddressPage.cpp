#include "gui/pages/LanAddressPage.h"

namespace orvanta {
namespace {

constexpr const char* kAskWireless = "Message1";
constexpr const char* kChooseOne = "Message2";

}  // namespace

LanAddressPage::LanAddressPage(QWidget* parent) : IpModePage(144, "LANPage", parent) {
    AddIpModeBlock({kDhcpRadio,
                    kFixedRadio,
                    {kAddressLabel, kMaskLabel, kGatewayLabel, kDnsLabel, kDns2Label},
                    {kAddress, kMask, kGateway, kDns, kDns2}},
                   QStringLiteral("Get DHCP IP "), QStringLiteral("Use fixed IP address"));
    AddStepTitle(kTitle, "TitleLAN", kMessageCapacity, QStringLiteral(""));
    KeptTexts({{kAskWireless}, {kChooseOne}});
    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &LanAddressPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &LanAddressPage::OnNext);
}

IpModeControls::Fields LanAddressPage::RecordFields() const {
    CameraSettings& s = Settings();
    return {IpModeControls::Of(s.IPAddr), IpModeControls::Of(s.Netmask), IpModeControls::Of(s.Gateway),
            IpModeControls::Of(s.DNS1), IpModeControls::Of(s.DNS2)};
}

void LanAddressPage::LoadFromSettings() {
    // A fixed address read after a DHCP one shows the addresses but leaves
    // them greyed until the user clicks the fixed radio himself.
    mode_.Load(Settings().IPType, RecordFields(), /*enableOnFixed=*/false);
}

void LanAddressPage::OnBack() { PostCommand(WizardCommand::ShowIspLinkPage); }

void LanAddressPage::OnNext() {
    CameraSettings& s = Settings();
    if (!mode_.Store(s.IPType, RecordFields())) {
        Ask(Kept(kChooseOne), QStringLiteral("Orvanta"), PromptIcon::None);
        return;
    }
    if (s.Loaded == 1) {
        if (s.HasWireless == 1) {
            const PromptAnswer answer =
                Ask(Kept(kAskWireless), QStringLiteral("Orvanta"), PromptIcon::Information, PromptButtons::YesNo);
            if (answer == PromptAnswer::Yes) {
                s.LinkWireless = 1;
                PostCommand(WizardCommand::ShowWirelessNetworkPage);
            } else {
                s.LinkWireless = 0;
                PostCommand(WizardCommand::ShowUpnpPortsPage);
            }
        } else if (s.HasWireless == 0) {
            PostCommand(WizardCommand::ShowUpnpPortsPage);
        }
        // Any other value of HasWireless: the record is inconsistent and
        // the page stays where it is.
        return;
    }
    // Not read from the camera: go by the interface it was found through.
    PostCommand(s.CamWirelessIf == 1 ? WizardCommand::ShowWirelessNetworkPage : WizardCommand::ShowUpnpPortsPage);
}

}  // namespace orvanta

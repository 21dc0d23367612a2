#include "gui/pages/CSubLANIP.h"

namespace orvanta {

CSubLANIP::CSubLANIP(QWidget* parent) : IpModePage(144, "LANPage", parent) {
    AddIpModeBlock({1097, 1098, {1309, 1310, 1311, 1312, 1313}, {1014, 1015, 1016, 1017, 1018}},
                   QStringLiteral("Get DHCP IP "), QStringLiteral("Use fixed IP address"));
    AddStepTitle(1240, "TitleLAN", 1024, QStringLiteral(""));
    connect(AddBackButton(1040, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubLANIP::OnBack);
    connect(AddNextButton(1004, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubLANIP::OnNext);
}

void CSubLANIP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    ApplyIpModeCaptions(lang);
    KeepText(lang, "Message1", 260);
    KeepText(lang, "Message2", 260);
}

IpModeControls::Fields CSubLANIP::RecordFields() const {
    CameraSettings& s = Settings();
    return {IpModeControls::Of(s.IPAddr), IpModeControls::Of(s.Netmask), IpModeControls::Of(s.Gateway),
            IpModeControls::Of(s.DNS1), IpModeControls::Of(s.DNS2)};
}

void CSubLANIP::LoadFromSettings() {
    // A fixed address read after a DHCP one shows the addresses but leaves
    // them greyed until the user clicks the fixed radio himself.
    mode_.Load(Settings().IPType, RecordFields(), /*enableOnFixed=*/false);
}

void CSubLANIP::OnBack() { PostCommand(cmd::kIspPage); }

void CSubLANIP::OnNext() {
    CameraSettings& s = Settings();
    if (!mode_.Store(s.IPType, RecordFields())) {
        Ask(Kept("Message2"), QStringLiteral("Orvanta"), mb::kOk);
        return;
    }
    if (s.Loaded == 1) {
        if (s.HasWireless == 1) {
            const PromptAnswer answer =
                Ask(Kept("Message1"), QStringLiteral("Orvanta"), mb::kYesNo | mb::kIconInformation);
            if (answer == PromptAnswer::Yes) {
                s.LinkWireless = 1;
                PostCommand(cmd::kWlanApPage);
            } else {
                s.LinkWireless = 0;
                PostCommand(cmd::kUpnpPage);
            }
        } else if (s.HasWireless == 0) {
            PostCommand(cmd::kUpnpPage);
        }
        // Any other value of HasWireless: the record is inconsistent and
        // the page stays where it is.
        return;
    }
    // Not read from the camera: go by the interface it was found through.
    PostCommand(s.CamWirelessIf == 1 ? cmd::kWlanApPage : cmd::kUpnpPage);
}

}  // namespace orvanta

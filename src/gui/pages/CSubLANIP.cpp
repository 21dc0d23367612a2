#include "gui/pages/CSubLANIP.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>

#include "gui/controls/CIPAddressCtrl.h"

namespace orvanta {

CSubLANIP::CSubLANIP(QWidget* parent) : CWizardPage(144, "LANPage", parent) {
    QButtonGroup* modeGroup = AddRadioGroup();
    QRadioButton* dhcp = AddRadio(1097, Dlu(30, 40, 250, 12), QStringLiteral("Get DHCP IP "), modeGroup);
    QRadioButton* fixed = AddRadio(1098, Dlu(30, 58, 250, 12), QStringLiteral("Use fixed IP address"), modeGroup);
    AddGroupBox(0, Dlu(20, 76, 350, 120), QStringLiteral(""));
    AddStatic(1309, Dlu(40, 92, 100, 10), QStringLiteral("IP Address"));
    CIPAddressCtrl* ip = AddAddress(1014, Dlu(150, 90, 120, 13));
    AddStatic(1310, Dlu(40, 112, 100, 10), QStringLiteral("Subnet Mask"));
    CIPAddressCtrl* mask = AddAddress(1015, Dlu(150, 110, 120, 13));
    AddStatic(1311, Dlu(40, 132, 100, 10), QStringLiteral("Gateway"));
    CIPAddressCtrl* gateway = AddAddress(1016, Dlu(150, 130, 120, 13));
    AddStatic(1312, Dlu(40, 152, 100, 10), QStringLiteral("DNS"));
    CIPAddressCtrl* dns1 = AddAddress(1017, Dlu(150, 150, 120, 13));
    AddStatic(1313, Dlu(40, 172, 100, 10), QStringLiteral("DNS2"));
    CIPAddressCtrl* dns2 = AddAddress(1018, Dlu(150, 170, 120, 13));
    mode_ = IpModeControls(dhcp, fixed, {ip, mask, gateway, dns1, dns2}, this);
    AddStepTitle(1240, "TitleLAN", 1024, QStringLiteral(""));
    connect(AddBackButton(1040, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubLANIP::OnBack);
    connect(AddNextButton(1004, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubLANIP::OnNext);
}

void CSubLANIP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1097), lang, "RadioDHCP", 260);
    SetCaption(Control(1098), lang, "RadioFixIP", 260);
    SetCaption(Control(1309), lang, "IP", 260);
    SetCaption(Control(1310), lang, "Submask", 260);
    SetCaption(Control(1311), lang, "Gateway", 260);
    SetCaption(Control(1312), lang, "DNS", 260);
    SetCaption(Control(1313), lang, "DNS2", 260);
    KeepText(lang, "Message1", 260);
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
        Ask(QStringLiteral("Please choose one !"), QStringLiteral("Orvanta"), mb::kOk);
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

#include "gui/pages/CSubWLANIP.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "gui/controls/CIPAddressCtrl.h"

namespace orvanta {

CSubWLANIP::CSubWLANIP(QWidget* parent) : CWizardPage(162, "WLANIPPage", parent) {
    QButtonGroup* modeGroup = AddRadioGroup();
    QRadioButton* dhcp = AddRadio(1161, Dlu(30, 40, 250, 12), QStringLiteral("DHCP Wireless IP"), modeGroup);
    QRadioButton* fixed = AddRadio(1162, Dlu(30, 58, 250, 12), QStringLiteral("Fixed Wireless IP"), modeGroup);
    AddGroupBox(0, Dlu(20, 76, 350, 120), QStringLiteral(""));
    AddStatic(1314, Dlu(40, 92, 100, 10), QStringLiteral("IP Address"));
    CIPAddressCtrl* ip = AddAddress(1101, Dlu(150, 90, 120, 13));
    AddStatic(1315, Dlu(40, 112, 100, 10), QStringLiteral("Subnet Mask"));
    CIPAddressCtrl* mask = AddAddress(1102, Dlu(150, 110, 120, 13));
    AddStatic(1316, Dlu(40, 132, 100, 10), QStringLiteral("Gateway"));
    CIPAddressCtrl* gateway = AddAddress(1103, Dlu(150, 130, 120, 13));
    AddStatic(1317, Dlu(40, 152, 100, 10), QStringLiteral("DNS"));
    CIPAddressCtrl* dns1 = AddAddress(1104, Dlu(150, 150, 120, 13));
    AddStatic(1318, Dlu(40, 172, 100, 10), QStringLiteral("DNS2"));
    CIPAddressCtrl* dns2 = AddAddress(1105, Dlu(150, 170, 120, 13));
    mode_ = IpModeControls(dhcp, fixed, {ip, mask, gateway, dns1, dns2}, this);
    {
        // Part of the page's template, never shown and without a handler.
        QPushButton* b = AddButton(1106, Dlu(160, 242, 60, 20), QStringLiteral("Exit"));
        b->hide();
    }
    AddStepTitle(1353, "TitleWLAN", 1024, QStringLiteral(""));
    connect(AddBackButton(1108, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubWLANIP::OnBack);
    connect(AddNextButton(1107, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubWLANIP::OnNext);
}

void CSubWLANIP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1161), lang, "RadioDHCP", 260);
    SetCaption(Control(1162), lang, "RadioFixIP", 260);
    SetCaption(Control(1314), lang, "IP", 260);
    SetCaption(Control(1315), lang, "Submask", 260);
    SetCaption(Control(1316), lang, "Gateway", 260);
    SetCaption(Control(1317), lang, "DNS", 260);
    SetCaption(Control(1318), lang, "DNS2", 260);
}

IpModeControls::Fields CSubWLANIP::RecordFields() const {
    CameraSettings& s = Settings();
    return {IpModeControls::Of(s.WIPAddr), IpModeControls::Of(s.WNetmask), IpModeControls::Of(s.WGateway),
            IpModeControls::Of(s.WDNS1), IpModeControls::Of(s.WDNS2)};
}

void CSubWLANIP::LoadFromSettings() { mode_.Load(Settings().WIPType, RecordFields(), /*enableOnFixed=*/true); }

void CSubWLANIP::OnBack() { PostCommand(cmd::kWlanApPage); }

void CSubWLANIP::OnNext() {
    if (!mode_.Store(Settings().WIPType, RecordFields())) {
        Ask(QStringLiteral("Please choose one !"), QStringLiteral("Orvanta"), mb::kOk);
        return;
    }
    PostCommand(cmd::kUpnpPage);
}

}  // namespace orvanta

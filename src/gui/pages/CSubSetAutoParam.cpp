#include "gui/pages/CSubSetAutoParam.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QTreeWidget>

#include "core/i18n/LanguageStrings.h"
#include "gui/controls/CIPAddressCtrl.h"
#include "gui/pages/DdnsProviders.h"
#include "gui/controls/CPictureFrame.h"

namespace orvanta {

CSubSetAutoParam::CSubSetAutoParam(QWidget* parent) : CWizardPage(171, "SetAutoParamPage", parent) {
    AddGroupBox(1367, Dlu(8, 28, 185, 60), QStringLiteral("System"));
    AddStatic(1368, Dlu(14, 40, 173, 44), QStringLiteral(""));
    AddGroupBox(1363, Dlu(196, 28, 185, 60), QStringLiteral("Network"));
    AddStatic(1211, Dlu(202, 40, 173, 44), QStringLiteral(""));
    AddGroupBox(1364, Dlu(8, 92, 185, 70), QStringLiteral("Wireless"));
    AddStatic(1225, Dlu(14, 104, 173, 54), QStringLiteral(""));
    AddGroupBox(1365, Dlu(196, 92, 185, 70), QStringLiteral("UPnP"));
    AddStatic(1224, Dlu(202, 104, 173, 54), QStringLiteral(""));
    AddGroupBox(1366, Dlu(8, 166, 373, 70), QStringLiteral("DDNS"));
    AddStatic(1226, Dlu(14, 178, 361, 54), QStringLiteral(""));
    AddStepTitle(1235, nullptr, 260, QStringLiteral(""))->hide();
    connect(AddBackButton(1164, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubSetAutoParam::OnBack);
    connect(AddSaveButton(1163, QStringLiteral("Setup the Camera"), Dlu(293, 242, 96, 25)), &QAbstractButton::clicked, this, &CSubSetAutoParam::OnSave);
}

void CSubSetAutoParam::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1367), lang, "SystemInfo", 2014);
    SetCaption(Control(1363), lang, "NetworkInfo", 2014);
    SetCaption(Control(1364), lang, "WirelessInfo", 2014);
    SetCaption(Control(1365), lang, "UPnPInfo", 2014);
    SetCaption(Control(1366), lang, "DDNSInfo", 2014);
    KeepText(lang, "Message1", 2014);
    KeepText(lang, "USEWPS", 2014);
    KeepText(lang, "WPSSucces", 2014);
    KeepText(lang, "WPSFailed", 2014);
    KeepText(lang, "NotUseWireless", 2014);
    KeepText(lang, "NotSupposeWireless", 2014);
    KeepText(lang, "EnUPnP", 2014);
    KeepText(lang, "DisUPnP", 2014);
    KeepText(lang, "EnDDNS", 2014);
    KeepText(lang, "DisDDNS", 2014);
}

void CSubSetAutoParam::LoadFromSettings() {
    const CameraSettings& s = Settings();
    static const LanguageStrings kNoLanguage;
    const LanguageStrings& lang = Context() && Context()->language ? *Context()->language : kNoLanguage;
    // Labels of other pages come from their sections; this page's own
    // phrases were kept by ApplyLanguage.
    const auto label = [&lang](const char* section, const char* key) { return Text(lang, section, key, 260); };
    const auto own = [&lang](const char* key) { return Text(lang, "SetAutoParamPage", key, 2014); };
    const auto field = [](const auto& f) { return FieldString(f); };

    // Texts are joined piece by piece rather than through QString::arg, so a
    // camera value that happens to hold "%1" is shown as it is.
    const QString nl = QStringLiteral("\n");
    const QString colon = QStringLiteral(":");
    system_ = label("SystemPage", "Hostname") + field(s.TitleBar) + nl + label("SystemPage", "Description") +
              field(s.Desp);

    switch (s.IPType) {
        case 2:
            network_ = QStringLiteral("PPPoE:\n") + label("PPPoEPage", "UserID") + colon + nl + field(s.PAccount) + nl +
                       label("PPPoEPage", "Password") + colon + nl + field(s.PPwd);
            break;
        case 0:
            // The camera's own gateway is unknown under DHCP; the PC's is
            // what it will most likely get.
            network_ = label("WizardIPPage", "RadioDHCP") + nl + label("WizardIPPage", "Gateway") + colon +
                       field(s.HostGateway);
            break;
        case 1:
            network_ = label("WizardIPPage", "RadioFixIP") + colon + field(s.IPAddr) + nl +
                       label("WizardIPPage", "Submask") + colon + field(s.Netmask) + nl +
                       label("WizardIPPage", "Gateway") + colon + field(s.Gateway) + nl + label("WizardIPPage", "dns") +
                       colon + field(s.DNS1);
            break;
        default: break;  // the text stays as it was
    }

    if (s.HasWireless != 1) {
        wireless_ = own("NotSupposeWireless");
    } else if (s.LinkWireless != 1) {
        wireless_ = own("NotUseWireless");
    } else if (s.UseWPS == 1) {
        if (s.WPSAck == 1)
            wireless_ = own("USEWPS") + nl + own("WPSSucces");
        else if (s.WPSAck == 0)
            wireless_ = own("USEWPS") + nl + own("WPSFailed");
    } else if (s.UseWPS == 0) {
        static const char* const kSecurity[] = {"none", "WEP", "WPA-PSK", "WPA2-PSK"};
        if (s.WireSec <= 3)
            wireless_ = label("ApscanPage", "SSID") + colon + field(s.SSID) + nl + label("ApscanPage", "Security") +
                        colon + QString::fromLatin1(kSecurity[s.WireSec]);
    }

    upnp_ = (s.UPnPE == 1 ? own("EnUPnP") : own("DisUPnP")) + nl + label("UPnPPage", "HttpPort") + colon +
            QString::number(s.HttpPort) + nl + label("UPnPPage", "StreamPort") + colon + QString::number(s.RTPPort) +
            nl + label("UPnPPage", "RTSP") + colon + QString::number(s.RTSPPort);

    if (s.DDNS == 1) {
        const std::string_view provider = DdnsDisplayText(FieldText(s.DDNSSrv));
        ddns_ = own("EnDDNS") + nl + label("DDNSPage", "Provider") + colon +
                QString::fromUtf8(provider.data(), static_cast<qsizetype>(provider.size())) + nl +
                label("DDNSPage", "Hostname") + colon + field(s.DDNSHost) + nl + label("DDNSPage", "Username") + colon +
                field(s.DDNSUser) + nl;
    } else {
        ddns_ = own("DisDDNS");
    }

    SetControlText(Control(1368), system_);
    SetControlText(Control(1211), network_);
    SetControlText(Control(1225), wireless_);
    SetControlText(Control(1224), upnp_);
    SetControlText(Control(1226), ddns_);
}

void CSubSetAutoParam::OnBack() { PostCommand(cmd::kDdnsPage); }

void CSubSetAutoParam::OnSave() {
    if (Ask(Kept("Message1"), QString(), mb::kOkCancel | mb::kIconInformation) == PromptAnswer::Ok)
        PostCommand(cmd::kSaveCamera);
}

}  // namespace orvanta

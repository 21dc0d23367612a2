#include "gui/pages/SummaryPage.h"

#include <QGroupBox>
#include <QLabel>

#include "core/i18n/LanguageStrings.h"
#include "gui/pages/DdnsProviders.h"

namespace orvanta {
namespace {

// The question before the camera is written.
constexpr const char* kConfirmSave = "Message1";

}  // namespace

SummaryPage::SummaryPage(QWidget* parent) : WizardPage(171, "SetAutoParamPage", parent) {
    QGroupBox* systemBox = AddGroupBox(kSystemBox, Dlu(8, 28, 185, 60), QStringLiteral("System"));
    systemText_ = AddStatic(kSystemText, Dlu(14, 40, 173, 44), QStringLiteral(""));
    QGroupBox* networkBox = AddGroupBox(kNetworkBox, Dlu(196, 28, 185, 60), QStringLiteral("Network"));
    networkText_ = AddStatic(kNetworkText, Dlu(202, 40, 173, 44), QStringLiteral(""));
    QGroupBox* wirelessBox = AddGroupBox(kWirelessBox, Dlu(8, 92, 185, 70), QStringLiteral("Wireless"));
    wirelessText_ = AddStatic(kWirelessText, Dlu(14, 104, 173, 54), QStringLiteral(""));
    QGroupBox* upnpBox = AddGroupBox(kUpnpBox, Dlu(196, 92, 185, 70), QStringLiteral("UPnP"));
    upnpText_ = AddStatic(kUpnpText, Dlu(202, 104, 173, 54), QStringLiteral(""));
    QGroupBox* ddnsBox = AddGroupBox(kDdnsBox, Dlu(8, 166, 373, 70), QStringLiteral("DDNS"));
    ddnsText_ = AddStatic(kDdnsText, Dlu(14, 178, 361, 54), QStringLiteral(""));
    AddStepTitle(kTitle, "TitleCheck", kCaptionCapacity, QStringLiteral("Check the settings"));

    Captions({{systemBox, "SystemInfo", kSummaryCapacity},
              {networkBox, "NetworkInfo", kSummaryCapacity},
              {wirelessBox, "WirelessInfo", kSummaryCapacity},
              {upnpBox, "UPnPInfo", kSummaryCapacity},
              {ddnsBox, "DDNSInfo", kSummaryCapacity}});
    KeptTexts({{kConfirmSave, kSummaryCapacity},
               {"USEWPS", kSummaryCapacity},
               {"WPSSucces", kSummaryCapacity},
               {"WPSFailed", kSummaryCapacity},
               {"NotUseWireless", kSummaryCapacity},
               {"NotSupposeWireless", kSummaryCapacity},
               {"EnUPnP", kSummaryCapacity},
               {"DisUPnP", kSummaryCapacity},
               {"EnDDNS", kSummaryCapacity},
               {"DisDDNS", kSummaryCapacity}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &SummaryPage::OnBack);
    connect(AddSaveButton(kSave, QStringLiteral("Setup the Camera"), Dlu(293, 242, 96, 25)), &QAbstractButton::clicked,
            this, &SummaryPage::OnSave);
}

void SummaryPage::LoadFromSettings() {
    const CameraSettings& s = Settings();
    static const LanguageStrings kNoLanguage;
    const LanguageStrings& lang = Context() && Context()->language ? *Context()->language : kNoLanguage;
    // Labels of other pages come from their sections; this page's own
    // phrases were kept by ApplyLanguage.
    const auto label = [&lang](const char* section, const char* key) { return Text(lang, section, key, kCaptionCapacity); };
    const auto own = [&lang](const char* key) { return Text(lang, "SetAutoParamPage", key, kSummaryCapacity); };
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

    SetControlText(systemText_, system_);
    SetControlText(networkText_, network_);
    SetControlText(wirelessText_, wireless_);
    SetControlText(upnpText_, upnp_);
    SetControlText(ddnsText_, ddns_);
}

void SummaryPage::OnBack() { PostCommand(WizardCommand::ShowDdnsPage); }

void SummaryPage::OnSave() {
    if (Ask(Kept(kConfirmSave), QString(), PromptIcon::Information, PromptButtons::OkCancel) == PromptAnswer::Ok)
        PostCommand(WizardCommand::SaveCamera);
}

}  // namespace orvanta

#include "gui/pages/CSubWizardIP.h"

#include <arpa/inet.h>

#include <QButtonGroup>
#include <QSignalBlocker>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QTreeWidget>

#include "gui/controls/CIPAddressCtrl.h"
#include "core/hostnet/AddressProbe.h"
#include "gui/app/KeptCameraResults.h"
#include "gui/controls/CPictureFrame.h"

namespace orvanta {

CSubWizardIP::CSubWizardIP(QWidget* parent) : CWizardPage(179, "WizardIPPage", parent) {
    QButtonGroup* modeGroup = AddRadioGroup();
    AddRadio(1234, Dlu(30, 36, 200, 12), QStringLiteral("DHCP  IP Address"), modeGroup);
    AddRadio(1236, Dlu(30, 54, 200, 12), QStringLiteral("Fixed IP"), modeGroup);
    AddStatic(1278, Dlu(40, 74, 100, 10), QStringLiteral("IP Address"));
    AddAddress(1227, Dlu(150, 72, 120, 13));
    AddStatic(1279, Dlu(40, 94, 100, 10), QStringLiteral("Subnet Mask"));
    AddAddress(1228, Dlu(150, 92, 120, 13));
    AddStatic(1280, Dlu(40, 114, 100, 10), QStringLiteral("Gateway"));
    AddAddress(1229, Dlu(150, 112, 120, 13));
    AddStatic(1281, Dlu(40, 134, 100, 10), QStringLiteral("DNS"));
    AddAddress(1233, Dlu(150, 132, 120, 13));
    {
        QPushButton* b = AddButton(1230, Dlu(40, 160, 120, 20), QStringLiteral("Test this IP address "));
        connect(b, &QAbstractButton::clicked, this, &CSubWizardIP::OnTest);
    }
    AddStatic(1282, Dlu(170, 158, 210, 60), QStringLiteral(""));
    AddStepTitle(1351, "TitleWizardIP", 1024, QStringLiteral(""));
    WhenChecked(Control<QRadioButton>(1234), [this] { OnDhcp(); });
    WhenChecked(Control<QRadioButton>(1236), [this] { OnFixed(); });
    connect(Control<CIPAddressCtrl>(1227), &CIPAddressCtrl::AddressChanged, this, &CSubWizardIP::OnAddressChanged);
    connect(AddBackButton(1231, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubWizardIP::OnBack);
    connect(AddNextButton(1232, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubWizardIP::OnNext);
}

void CSubWizardIP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1234), lang, "RadioDHCP", 260);
    SetCaption(Control(1236), lang, "RadioFixIP", 260);
    SetCaption(Control(1278), lang, "IP", 260);
    SetCaption(Control(1279), lang, "Submask", 260);
    SetCaption(Control(1280), lang, "Gateway", 260);
    SetCaption(Control(1281), lang, "DNS", 260);
    SetCaption(Control(1230), lang, "BtnSendARP", 1024);
    SetCaption(Control(1282), lang, "Note1", 1024);
    KeepText(lang, "Message1", 2048);
    KeepText(lang, "Message2", 2048);
    KeepText(lang, "Message3", 2048);
}

void CSubWizardIP::LoadFromSettings() {
    const QuietLoad quiet(this);
    CameraSettings& s = Settings();
    auto* dhcp = Control<QRadioButton>(1234);
    auto* fixed = Control<QRadioButton>(1236);
    auto* address = Control<CIPAddressCtrl>(1227);
    auto* mask = Control<CIPAddressCtrl>(1228);
    auto* gateway = Control<CIPAddressCtrl>(1229);
    auto* dns = Control<CIPAddressCtrl>(1233);
    // Filling the fields is not the user typing: the default-mask rule
    // must not overwrite the mask proposed here.
    const QSignalBlocker block(address);

    if (s.HostDHCP == 1) {
        OnDhcp();
    } else {
        SetChecked(dhcp, false);
        SetChecked(fixed, true);
        SetEnabledAll({fixed, address, mask, gateway, dns, Control(1230)}, true);
    }

    if (s.HostNoAddress == 1) {
        // Without an address of its own the PC can propose nothing better
        // than the camera's present address in its present subnet.
        const uint32_t cam = ntohl(s.CamAddr);
        const uint32_t net = cam & ntohl(s.CamMask);
        address->SetAddress(cam);
        mask->SetAddress(ntohl(s.CamMask));
        gateway->SetAddress(net | 1u);
        dns->SetAddress(0);
    } else {
        s.IPType = 1;
        const KeptCameraResults* kept = Context() ? Context()->kept : nullptr;
        const uint32_t* proposal = kept ? kept->ProbeCell() : nullptr;
        address->SetAddress(proposal ? ntohl(*proposal) : 0);
        LoadAddress(mask, s.HostMask);
        LoadAddress(gateway, s.HostGateway);
        LoadAddress(dns, s.HostDNS);
    }
}

void CSubWizardIP::OnDhcp() {
    SetChecked(Control<QRadioButton>(1234), true);
    Settings().IPType = 0;
    SetChecked(Control<QRadioButton>(1236), false);
    SetEnabledAll({Control(1227), Control(1228), Control(1229), Control(1233), Control(1230)}, false);
}

void CSubWizardIP::OnFixed() {
    SetChecked(Control<QRadioButton>(1234), false);
    SetChecked(Control<QRadioButton>(1236), true);
    SetEnabledAll({Control(1236), Control(1227), Control(1228), Control(1229), Control(1233), Control(1230)}, true);
}

void CSubWizardIP::OnAddressChanged() {
    // Class B and class C addresses get their classful mask; anything else
    // keeps the mask as it is.
    const unsigned first = Control<CIPAddressCtrl>(1227)->Address() >> 24;
    if (first >= 128 && first <= 191)
        Control<CIPAddressCtrl>(1228)->SetAddress(0xFFFF0000u);
    else if (first >= 192 && first <= 223)
        Control<CIPAddressCtrl>(1228)->SetAddress(0xFFFFFF00u);
}

void CSubWizardIP::OnTest() {
    const CameraSettings& s = Settings();
    const uint32_t source = inet_addr(s.HostIP);
    const uint32_t target = htonl(Control<CIPAddressCtrl>(1227)->Address());
    // The camera answers for its own address; that is no conflict.
    bool inUse = false;
    if (target != s.CamAddr && Context() && Context()->hostNetwork)
        inUse = hostnet::ProbeAddressInUse(*Context()->hostNetwork, target, source);
    if (inUse)
        Ask(Kept("Message1"), QString(), mb::kIconStop);
    else
        Ask(Kept("Message2"), QString(), mb::kIconInformation);
}

void CSubWizardIP::OnBack() { PostCommand(cmd::kOptionPage); }

void CSubWizardIP::OnNext() {
    CameraSettings& s = Settings();
    const auto* address = Control<CIPAddressCtrl>(1227);
    const auto* mask = Control<CIPAddressCtrl>(1228);
    const auto* gateway = Control<CIPAddressCtrl>(1229);
    const auto* dns = Control<CIPAddressCtrl>(1233);
    if (Control<QRadioButton>(1234)->isChecked()) {
        if (s.LinkWireless == 1)
            s.WIPType = 0;
        else if (s.LinkWireless == 0)
            s.IPType = 0;
    } else if (Control<QRadioButton>(1236)->isChecked()) {
        if (s.HasWireless == 0 || s.LinkWireless == 0) {
            s.IPType = 1;
            StoreAddress(s.IPAddr, address);
            StoreAddress(s.Netmask, mask);
            StoreAddress(s.Gateway, gateway);
            StoreAddress(s.DNS1, dns);
        } else if (s.HasWireless == 1 && s.LinkWireless == 1) {
            s.WIPType = 1;
            StoreAddress(s.WIPAddr, address);
            StoreAddress(s.WNetmask, mask);
            StoreAddress(s.WGateway, gateway);
            StoreAddress(s.WDNS1, dns);
        }
    }

    if (s.HasWireless == 0 || (s.HasWireless == 1 && s.LinkWireless != 1)) {
        PostCommand(cmd::kUpnpPage);
    } else if (s.HasWireless == 1 && s.LinkWireless == 1 && s.HasWPS == 0) {
        PostCommand(cmd::kApScanPage);
    } else if (s.HasWireless == 1 && s.LinkWireless == 1 && s.HasWPS == 1) {
        const bool wps = Ask(Kept("Message3"), QString(), mb::kYesNo | mb::kIconInformation) == PromptAnswer::Yes;
        s.UseWPS = wps ? 1 : 0;
        PostCommand(wps ? cmd::kWpsPicPage : cmd::kApScanPage);
    }
}

}  // namespace orvanta

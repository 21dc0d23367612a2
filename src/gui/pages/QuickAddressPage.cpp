#include "gui/pages/QuickAddressPage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "gui/controls/Ipv4AddressEdit.h"
#include "core/base/AddressText.h"
#include "gui/framework/AddressChoice.h"
#include "gui/framework/KeptCameraResults.h"

namespace orvanta {
namespace {

// The page's messages, kept from its section.
constexpr const char* kAddressInUse = "Message1";
constexpr const char* kAddressFree = "Message2";
constexpr const char* kAskWps = "Message3";

}  // namespace

QuickAddressPage::QuickAddressPage(QWidget* parent) : WizardPage(179, "WizardIPPage", parent) {
    choice_ = AddAddressChoice({kDhcpRadio, kFixedRadio, kAddressLabel, kAddress, kMaskLabel, kMask,
                                kGatewayLabel, kGateway, kDnsLabel, kDns, kTestButton},
                               36);
    QLabel* note = AddStatic(kNote, Dlu(170, 158, 210, 60), QStringLiteral(""));
    AddStepTitle(kTitle, "TitleWizardIP", kMessageCapacity, QStringLiteral(""));

    Captions({{note, "Note1", kMessageCapacity}});
    KeptTexts({{kAddressInUse, 2048}, {kAddressFree, 2048}, {kAskWps, 2048}});

    connect(choice_.test, &QAbstractButton::clicked, this, &QuickAddressPage::OnTest);
    WhenChecked(choice_.dhcp, [this] { OnDhcp(); });
    WhenChecked(choice_.fixed, [this] { OnFixed(); });
    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &QuickAddressPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &QuickAddressPage::OnNext);
}

void QuickAddressPage::LoadFromSettings() {
    const QuietLoad quiet(this);
    CameraSettings& s = Settings();
    // Filling the fields is not the user typing: the default-mask rule
    // must not overwrite the mask proposed here.
    const QSignalBlocker block(choice_.address);

    if (s.HostDHCP == 1) {
        OnDhcp();
    } else {
        SetChecked(choice_.dhcp, false);
        SetChecked(choice_.fixed, true);
        SetEnabledAll({choice_.fixed, choice_.address, choice_.mask, choice_.gateway, choice_.dns, choice_.test}, true);
    }

    if (s.HostNoAddress == 1) {
        // Without an address of its own the PC can propose nothing better
        // than the camera's present address in its present subnet.
        const Ipv4Address camera = Ipv4Address::FromNetworkOrder(s.CamAddr);
        const Ipv4Address mask = Ipv4Address::FromNetworkOrder(s.CamMask);
        choice_.address->SetValue(camera);
        choice_.mask->SetValue(mask);
        // The first host of the camera's subnet.
        choice_.gateway->SetValue(Ipv4Address::FromHostOrder((camera & mask).HostOrder() | 1u));
        choice_.dns->SetValue({});
    } else {
        s.IPType = 1;
        const KeptCameraResults* kept = Context() ? Context()->kept : nullptr;
        choice_.address->SetValue(kept && kept->proposal ? *kept->proposal : Ipv4Address());
        LoadAddress(choice_.mask, s.HostMask);
        LoadAddress(choice_.gateway, s.HostGateway);
        LoadAddress(choice_.dns, s.HostDNS);
    }
}

void QuickAddressPage::OnDhcp() {
    SetChecked(choice_.dhcp, true);
    Settings().IPType = 0;
    SetChecked(choice_.fixed, false);
    SetEnabledAll({choice_.address, choice_.mask, choice_.gateway, choice_.dns, choice_.test}, false);
}

void QuickAddressPage::OnFixed() {
    SetChecked(choice_.dhcp, false);
    SetChecked(choice_.fixed, true);
    SetEnabledAll({choice_.fixed, choice_.address, choice_.mask, choice_.gateway, choice_.dns, choice_.test}, true);
}

void QuickAddressPage::OnTest() {
    const bool inUse =
        Context() && AddressTakenByAnother(*Context(), choice_.address->Value(),
                                           Ipv4Address::FromNetworkOrder(Settings().CamAddr));
    if (inUse)
        Ask(Kept(kAddressInUse), QString(), PromptIcon::Critical);
    else
        Ask(Kept(kAddressFree), QString(), PromptIcon::Information);
}

void QuickAddressPage::OnBack() { PostCommand(WizardCommand::ShowOptionPage); }

void QuickAddressPage::OnNext() {
    CameraSettings& s = Settings();
    if (choice_.dhcp->isChecked()) {
        if (s.LinkWireless == 1)
            s.WIPType = 0;
        else if (s.LinkWireless == 0)
            s.IPType = 0;
    } else if (choice_.fixed->isChecked()) {
        if (s.HasWireless == 0 || s.LinkWireless == 0) {
            s.IPType = 1;
            StoreAddress(s.IPAddr, choice_.address);
            StoreAddress(s.Netmask, choice_.mask);
            StoreAddress(s.Gateway, choice_.gateway);
            StoreAddress(s.DNS1, choice_.dns);
        } else if (s.HasWireless == 1 && s.LinkWireless == 1) {
            s.WIPType = 1;
            StoreAddress(s.WIPAddr, choice_.address);
            StoreAddress(s.WNetmask, choice_.mask);
            StoreAddress(s.WGateway, choice_.gateway);
            StoreAddress(s.WDNS1, choice_.dns);
        }
    }

    if (s.HasWireless == 0 || (s.HasWireless == 1 && s.LinkWireless != 1)) {
        PostCommand(WizardCommand::ShowUpnpPortsPage);
    } else if (s.HasWireless == 1 && s.LinkWireless == 1 && s.HasWPS == 0) {
        PostCommand(WizardCommand::ShowAccessPointScanPage);
    } else if (s.HasWireless == 1 && s.LinkWireless == 1 && s.HasWPS == 1) {
        const bool wps = Ask(Kept(kAskWps), QString(), PromptIcon::Information, PromptButtons::YesNo) == PromptAnswer::Yes;
        s.UseWPS = wps ? 1 : 0;
        PostCommand(wps ? WizardCommand::ShowWpsPicturePage : WizardCommand::ShowAccessPointScanPage);
    }
}

}  // namespace orvanta

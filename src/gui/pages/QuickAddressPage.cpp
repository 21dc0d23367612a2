#include "gui/pages/QuickAddressPage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "gui/controls/Ipv4AddressEdit.h"
#include "core/text/AddressText.h"
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
    QButtonGroup* modeGroup = AddRadioGroup();
    dhcp_ = AddRadio(kDhcpRadio, Dlu(30, 36, 200, 12), QStringLiteral("DHCP  IP Address"), modeGroup);
    fixed_ = AddRadio(kFixedRadio, Dlu(30, 54, 200, 12), QStringLiteral("Fixed IP"), modeGroup);
    QLabel* addressLabel = AddStatic(kAddressLabel, Dlu(40, 74, 100, 10), QStringLiteral("IP Address"));
    address_ = AddAddress(kAddress, Dlu(150, 72, 120, 13));
    QLabel* maskLabel = AddStatic(kMaskLabel, Dlu(40, 94, 100, 10), QStringLiteral("Subnet Mask"));
    mask_ = AddAddress(kMask, Dlu(150, 92, 120, 13));
    QLabel* gatewayLabel = AddStatic(kGatewayLabel, Dlu(40, 114, 100, 10), QStringLiteral("Gateway"));
    gateway_ = AddAddress(kGateway, Dlu(150, 112, 120, 13));
    QLabel* dnsLabel = AddStatic(kDnsLabel, Dlu(40, 134, 100, 10), QStringLiteral("DNS"));
    dns_ = AddAddress(kDns, Dlu(150, 132, 120, 13));
    test_ = AddButton(kTestButton, Dlu(40, 160, 120, 20), QStringLiteral("Test this IP address "));
    QLabel* note = AddStatic(kNote, Dlu(170, 158, 210, 60), QStringLiteral(""));
    AddStepTitle(kTitle, "TitleWizardIP", kMessageCapacity, QStringLiteral(""));

    Captions({{dhcp_, "RadioDHCP"},
              {fixed_, "RadioFixIP"},
              {addressLabel, "IP"},
              {maskLabel, "Submask"},
              {gatewayLabel, "Gateway"},
              {dnsLabel, "DNS"},
              {test_, "BtnSendARP", kMessageCapacity},
              {note, "Note1", kMessageCapacity}});
    KeptTexts({{kAddressInUse, 2048}, {kAddressFree, 2048}, {kAskWps, 2048}});

    connect(test_, &QAbstractButton::clicked, this, &QuickAddressPage::OnTest);
    WhenChecked(dhcp_, [this] { OnDhcp(); });
    WhenChecked(fixed_, [this] { OnFixed(); });
    connect(address_, &Ipv4AddressEdit::AddressChanged, this, &QuickAddressPage::OnAddressChanged);
    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &QuickAddressPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &QuickAddressPage::OnNext);
}

void QuickAddressPage::LoadFromSettings() {
    const QuietLoad quiet(this);
    CameraSettings& s = Settings();
    // Filling the fields is not the user typing: the default-mask rule
    // must not overwrite the mask proposed here.
    const QSignalBlocker block(address_);

    if (s.HostDHCP == 1) {
        OnDhcp();
    } else {
        SetChecked(dhcp_, false);
        SetChecked(fixed_, true);
        SetEnabledAll({fixed_, address_, mask_, gateway_, dns_, test_}, true);
    }

    if (s.HostNoAddress == 1) {
        // Without an address of its own the PC can propose nothing better
        // than the camera's present address in its present subnet.
        const uint32_t cam = Ipv4HostOrder(s.CamAddr);
        const uint32_t net = cam & Ipv4HostOrder(s.CamMask);
        address_->SetAddress(cam);
        mask_->SetAddress(Ipv4HostOrder(s.CamMask));
        gateway_->SetAddress(net | 1u);
        dns_->SetAddress(0);
    } else {
        s.IPType = 1;
        const KeptCameraResults* kept = Context() ? Context()->kept : nullptr;
        const uint32_t* proposal = kept ? kept->ProbeCell() : nullptr;
        address_->SetAddress(proposal ? Ipv4HostOrder(*proposal) : 0);
        LoadAddress(mask_, s.HostMask);
        LoadAddress(gateway_, s.HostGateway);
        LoadAddress(dns_, s.HostDNS);
    }
}

void QuickAddressPage::OnDhcp() {
    SetChecked(dhcp_, true);
    Settings().IPType = 0;
    SetChecked(fixed_, false);
    SetEnabledAll({address_, mask_, gateway_, dns_, test_}, false);
}

void QuickAddressPage::OnFixed() {
    SetChecked(dhcp_, false);
    SetChecked(fixed_, true);
    SetEnabledAll({fixed_, address_, mask_, gateway_, dns_, test_}, true);
}

void QuickAddressPage::OnAddressChanged() {
    // Class B and class C addresses get their classful mask; anything else
    // keeps the mask as it is.
    if (const auto mask = ClassfulMask(address_->Address())) mask_->SetAddress(*mask);
}

void QuickAddressPage::OnTest() {
    const bool inUse =
        Context() && AddressTakenByAnother(*Context(), Ipv4NetworkOrder(address_->Address()), Settings().CamAddr);
    if (inUse)
        Ask(Kept(kAddressInUse), QString(), PromptIcon::Critical);
    else
        Ask(Kept(kAddressFree), QString(), PromptIcon::Information);
}

void QuickAddressPage::OnBack() { PostCommand(WizardCommand::ShowOptionPage); }

void QuickAddressPage::OnNext() {
    CameraSettings& s = Settings();
    if (dhcp_->isChecked()) {
        if (s.LinkWireless == 1)
            s.WIPType = 0;
        else if (s.LinkWireless == 0)
            s.IPType = 0;
    } else if (fixed_->isChecked()) {
        if (s.HasWireless == 0 || s.LinkWireless == 0) {
            s.IPType = 1;
            StoreAddress(s.IPAddr, address_);
            StoreAddress(s.Netmask, mask_);
            StoreAddress(s.Gateway, gateway_);
            StoreAddress(s.DNS1, dns_);
        } else if (s.HasWireless == 1 && s.LinkWireless == 1) {
            s.WIPType = 1;
            StoreAddress(s.WIPAddr, address_);
            StoreAddress(s.WNetmask, mask_);
            StoreAddress(s.WGateway, gateway_);
            StoreAddress(s.WDNS1, dns_);
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

#include "gui/pages/OnvifAddressPage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "core/base/AddressText.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/framework/AddressChoice.h"
#include "gui/framework/CameraPicture.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/ShownText.h"

namespace orvanta {

namespace {

constexpr const char* kCurrentFixed = "CurrentFixed";  // "%1" the address/prefix
constexpr const char* kCurrentDhcp = "CurrentDhcp";
constexpr const char* kAddressInUse = "AddressInUse";
constexpr const char* kAddressFree = "AddressFree";
constexpr const char* kBadAddress = "BadAddress";

// The camera's address texts (what it sent, or what the pages chose); 0.0.0.0
// for an empty or unreadable one.
Ipv4Address ValueOf(const std::string& dotted) { return Ipv4Address::Parse(dotted).value_or(Ipv4Address()); }

Ipv4Address MaskOfPrefix(int prefix) { return Ipv4Address::FromNetworkOrder(PrefixMask(prefix)); }

// A fixed address the camera can take: a host of a contiguous subnet, the
// gateway (when given) inside it.
bool UsableFixed(Ipv4Address address, Ipv4Address mask, Ipv4Address gateway) {
    const int prefix = MaskPrefix(mask.NetworkOrder());
    if (address.IsUnspecified() || prefix < 1 || prefix > 30) return false;
    const uint32_t host = address.HostOrder() & ~mask.HostOrder();
    if (host == 0 || host == ~mask.HostOrder()) return false;
    return gateway.IsUnspecified() || ((gateway & mask) == (address & mask) && gateway != address);
}

}  // namespace

OnvifAddressPage::OnvifAddressPage(QWidget* parent) : WizardPage(302, "OnvifAddressPage", parent) {
    current_ = AddStatic(kCurrent, Dlu(30, 32, 340, 20), QString());
    current_->setTextFormat(Qt::PlainText);
    choice_ = AddAddressChoice({kDhcpRadio, kFixedRadio, kAddressLabel, kAddress, kMaskLabel, kMask,
                                kGatewayLabel, kGateway, kDnsLabel, kDns, kTestButton},
                               52);
    QLabel* note = AddStatic(kNote, Dlu(170, 172, 210, 64), QString());
    picture_ = AddStatic(kPicture, Dlu(282, 56, 96, 54), QString());
    picture_->setAlignment(Qt::AlignCenter);
    AddStepTitle(kTitle, "TitleOnvifAddress", kCaptionCapacity, QStringLiteral("The Camera's Address"));

    Captions({{note, "Note", kMessageCapacity}});
    KeptTexts({{kCurrentFixed, kMessageCapacity},
               {kCurrentDhcp, kMessageCapacity},
               {kAddressInUse, kMessageCapacity},
               {kAddressFree, kMessageCapacity},
               {kBadAddress, kMessageCapacity}});

    WhenChecked(choice_.dhcp, [this] { SetFixed(false); });
    WhenChecked(choice_.fixed, [this] { SetFixed(true); });
    connect(choice_.test, &QAbstractButton::clicked, this, &OnvifAddressPage::OnTest);
    connect(AddBackButton(kBack), &QAbstractButton::clicked, this, &OnvifAddressPage::OnBack);
    connect(AddNextButton(kNext), &QAbstractButton::clicked, this, &OnvifAddressPage::OnNext);
}

void OnvifAddressPage::SetFixed(bool fixed) {
    SetChecked(choice_.dhcp, !fixed);
    SetChecked(choice_.fixed, fixed);
    SetEnabledAll({choice_.address, choice_.mask, choice_.gateway, choice_.dns, choice_.test}, fixed);
}

void OnvifAddressPage::LoadFromSettings() {
    if (!Context() || !Context()->onvifSetup) return;
    const QuietLoad quiet(this);
    // Filling the fields is not the user typing: the classful mask must not
    // replace the one loaded here.
    const QSignalBlocker block(choice_.address);
    const OnvifSetup& setup = *Context()->onvifSetup;
    const onvif::OnvifDeviceState& now = setup.before;
    if (Context()->language)
        ShowCameraPicture(picture_, setup.picture, PictureLine(*Context()->language, setup.pictureResult, setup.pictureNote));
    const QString where = QStringLiteral("%1/%2").arg(ShownText(now.ipv4.address)).arg(now.ipv4.prefix);
    QString line = Kept(now.ipv4.dhcp ? kCurrentDhcp : kCurrentFixed);
    current_->setText(line.isEmpty() ? where : line.replace(QStringLiteral("%1"), where));

    // The card's subnet as the ONVIF core keeps it (host order).
    const onvif::CardSubnet& pc = setup.pc;
    const Ipv4Address pcAddress = Ipv4Address::FromHostOrder(pc.address);
    const Ipv4Address pcMask = Ipv4Address::FromHostOrder(pc.mask);
    const bool pcKnown = !pcAddress.IsUnspecified() && !pcMask.IsUnspecified();
    const Ipv4Address camera = ValueOf(now.ipv4.address);
    const Ipv4Address cameraMask = MaskOfPrefix(now.ipv4.prefix);

    if (const auto& chosen = setup.change.ipv4) {
        // Back from a later page: what was chosen stays.
        SetFixed(!chosen->dhcp);
        if (!chosen->dhcp) {
            choice_.address->SetValue(ValueOf(chosen->address));
            choice_.mask->SetValue(MaskOfPrefix(chosen->prefix));
        }
        choice_.gateway->SetValue(ValueOf(setup.change.gateway.value_or(now.gateway)));
        const auto& dns = setup.change.dns ? *setup.change.dns : now.dns;
        choice_.dns->SetValue(dns.empty() ? Ipv4Address() : ValueOf(dns.front()));
        return;
    }
    // A DHCP camera on a link-local address asked and got no answer: there
    // is no DHCP server on its network, so a fixed address is proposed.
    const bool dhcpGotNothing = now.ipv4.dhcp && (camera.HostOrder() >> 16) == 0xA9FEu;
    SetFixed(!now.ipv4.dhcp || dhcpGotNothing);
    const bool inPcSubnet = pcKnown && !camera.IsUnspecified() && (camera & pcMask) == (pcAddress & pcMask);
    if (inPcSubnet || !pcKnown) {
        // Where it is already works: a fixed camera keeps its address unless
        // the installer types another; without an address of its own the PC
        // can propose nothing better.
        choice_.address->SetValue(camera);
        choice_.mask->SetValue(cameraMask);
        choice_.gateway->SetValue(ValueOf(now.gateway));
        choice_.dns->SetValue(now.dns.empty() ? Ipv4Address() : ValueOf(now.dns.front()));
        return;
    }
    // A camera in another subnet is brought into the one of the PC's card
    // it answered on, at the free address the login found, with that
    // card's gateway and DNS server.
    choice_.address->SetValue(setup.proposal.value_or(Ipv4Address()));
    choice_.mask->SetValue(pcMask);
    choice_.gateway->SetValue(Ipv4Address::FromHostOrder(pc.gateway));
    choice_.dns->SetValue(Ipv4Address::FromHostOrder(pc.dns));
}

void OnvifAddressPage::OnTest() {
    if (!Context() || !Context()->onvifSetup) return;
    const Ipv4Address camera = ValueOf(Context()->onvifSetup->before.ipv4.address);
    const Ipv4Address card = Ipv4Address::FromHostOrder(Context()->onvifSetup->pc.address);
    const bool inUse = AddressTakenByAnother(*Context(), choice_.address->Value(), camera, card);
    Ask(Kept(inUse ? kAddressInUse : kAddressFree), QString(), inUse ? PromptIcon::Critical : PromptIcon::Information);
}

void OnvifAddressPage::OnBack() { PostCommand(WizardCommand::ShowOnvifLoginPage); }

void OnvifAddressPage::OnNext() {
    if (!Context() || !Context()->onvifSetup) return;
    if (!EitherChecked(choice_.dhcp, choice_.fixed)) return;
    onvif::OnvifChange& change = Context()->onvifSetup->change;
    const onvif::OnvifDeviceState& now = Context()->onvifSetup->before;
    if (choice_.dhcp->isChecked()) {
        // The DHCP server gives the gateway and DNS as well.
        change.ipv4 = onvif::OnvifIpv4{true, {}, 0};
        change.gateway.reset();
        change.dns.reset();
    } else {
        const Ipv4Address address = choice_.address->Value(), mask = choice_.mask->Value(),
                          gateway = choice_.gateway->Value(), dnsServer = choice_.dns->Value();
        if (!UsableFixed(address, mask, gateway)) {
            Ask(Kept(kBadAddress), QString(), PromptIcon::Warning);
            return;
        }
        change.ipv4 = onvif::OnvifIpv4{false, address.Text(), MaskPrefix(mask.NetworkOrder())};
        // Only what differs is sent; an empty field leaves the camera's.
        change.gateway.reset();
        if (!gateway.IsUnspecified() && gateway.Text() != now.gateway) change.gateway = gateway.Text();
        change.dns.reset();
        if (!dnsServer.IsUnspecified()) {
            const std::vector<std::string> dns{dnsServer.Text()};
            if (dns != now.dns) change.dns = dns;
        }
    }
    // Asking for what the camera already has is no change.
    if (change.ipv4->dhcp == now.ipv4.dhcp &&
        (change.ipv4->dhcp || (change.ipv4->address == now.ipv4.address && change.ipv4->prefix == now.ipv4.prefix)))
        change.ipv4.reset();
    PostCommand(WizardCommand::ShowOnvifClockPage);
}

}  // namespace orvanta

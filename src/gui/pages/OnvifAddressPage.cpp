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

uint32_t HostOrderOf(const std::string& dotted) {
    uint32_t a = 0;
    return ParseIpv4HostOrder(dotted, a) ? a : 0;
}

uint32_t MaskOfPrefix(int prefix) { return prefix <= 0 ? 0 : prefix >= 32 ? 0xFFFFFFFFu : 0xFFFFFFFFu << (32 - prefix); }

// A fixed address the camera can take: a host of a contiguous subnet, the
// gateway (when given) inside it.
bool UsableFixed(uint32_t address, uint32_t mask, uint32_t gateway) {
    const int prefix = MaskPrefix(Ipv4NetworkOrder(mask));
    if (address == 0 || prefix < 1 || prefix > 30) return false;
    const uint32_t host = address & ~mask;
    if (host == 0 || host == ~mask) return false;
    return gateway == 0 || ((gateway & mask) == (address & mask) && gateway != address);
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

    const onvif::CardSubnet& pc = setup.pc;
    const uint32_t pcAddress = pc.address, pcMask = pc.mask;
    const bool pcKnown = pcAddress != 0 && pcMask != 0;
    const uint32_t camera = HostOrderOf(now.ipv4.address);
    const uint32_t cameraMask = MaskOfPrefix(now.ipv4.prefix);

    if (const auto& chosen = setup.change.ipv4) {
        // Back from a later page: what was chosen stays.
        SetFixed(!chosen->dhcp);
        if (!chosen->dhcp) {
            choice_.address->SetAddress(HostOrderOf(chosen->address));
            choice_.mask->SetAddress(MaskOfPrefix(chosen->prefix));
        }
        choice_.gateway->SetAddress(HostOrderOf(setup.change.gateway.value_or(now.gateway)));
        const auto& dns = setup.change.dns ? *setup.change.dns : now.dns;
        choice_.dns->SetAddress(dns.empty() ? 0 : HostOrderOf(dns.front()));
        return;
    }
    // A DHCP camera on a link-local address asked and got no answer: there
    // is no DHCP server on its network, so a fixed address is proposed.
    const bool dhcpGotNothing = now.ipv4.dhcp && (camera >> 16) == 0xA9FEu;
    SetFixed(!now.ipv4.dhcp || dhcpGotNothing);
    const bool inPcSubnet = pcKnown && camera != 0 && (camera & pcMask) == (pcAddress & pcMask);
    if (inPcSubnet || !pcKnown) {
        // Where it is already works: a fixed camera keeps its address unless
        // the installer types another; without an address of its own the PC
        // can propose nothing better.
        choice_.address->SetAddress(camera);
        choice_.mask->SetAddress(cameraMask);
        choice_.gateway->SetAddress(HostOrderOf(now.gateway));
        choice_.dns->SetAddress(now.dns.empty() ? 0 : HostOrderOf(now.dns.front()));
        return;
    }
    // A camera in another subnet is brought into the one of the PC's card
    // it answered on, at the free address the login found, with that
    // card's gateway and DNS server.
    choice_.address->SetAddress(setup.proposal.value_or(0));
    choice_.mask->SetAddress(pcMask);
    choice_.gateway->SetAddress(pc.gateway);
    choice_.dns->SetAddress(pc.dns);
}

void OnvifAddressPage::OnTest() {
    if (!Context() || !Context()->onvifSetup) return;
    uint32_t camera = 0;
    ParseIpv4(Context()->onvifSetup->before.ipv4.address, camera);
    const uint32_t card = Context()->onvifSetup->pc.address;
    const bool inUse = AddressTakenByAnother(*Context(), Ipv4NetworkOrder(choice_.address->Address()), camera,
                                             card != 0 ? Ipv4NetworkOrder(card) : 0);
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
        const uint32_t address = choice_.address->Address(), mask = choice_.mask->Address(), gateway = choice_.gateway->Address();
        if (!UsableFixed(address, mask, gateway)) {
            Ask(Kept(kBadAddress), QString(), PromptIcon::Warning);
            return;
        }
        change.ipv4 = onvif::OnvifIpv4{false, FormatIpv4HostOrder(address), MaskPrefix(Ipv4NetworkOrder(mask))};
        // Only what differs is sent; an empty field leaves the camera's.
        change.gateway.reset();
        if (gateway != 0 && FormatIpv4HostOrder(gateway) != now.gateway) change.gateway = FormatIpv4HostOrder(gateway);
        change.dns.reset();
        if (choice_.dns->Address() != 0) {
            const std::vector<std::string> dns{FormatIpv4HostOrder(choice_.dns->Address())};
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

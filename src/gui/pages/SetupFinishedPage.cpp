#include "gui/pages/SetupFinishedPage.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/controls/Art.h"
#include "gui/framework/UrlOpener.h"

namespace orvanta {
namespace {

// The page's texts, kept from its section: whether the camera reports its
// link to the outside.
constexpr const char* kLinked = "Linked";
constexpr const char* kNotLinked = "NotLinked";

}  // namespace

SetupFinishedPage::SetupFinishedPage(QWidget* parent) : WizardPage(207, "SetupFinishPage", parent) {
    AddPicture(0, Dlu(4, 4, 124, 94), 229);
    AddStatic(kMark, Dlu(134, 10, 20, 20), QStringLiteral(""));
    QLabel* addressLabel = AddStatic(kAddressLabel, Dlu(30, 104, 100, 10), QStringLiteral("IP Address"));
    address_ = AddReadOnlyEdit(kAddress, Dlu(140, 102, 200, 13));
    QLabel* cameraIdLabel = AddStatic(kCameraIdLabel, Dlu(30, 120, 100, 10), QStringLiteral("Camera ID"));
    cameraIdLabel->hide();
    cameraId_ = AddReadOnlyEdit(kCameraId, Dlu(140, 118, 200, 13));
    cameraId_->hide();
    QLabel* macLabel = AddStatic(kMacLabel, Dlu(30, 136, 100, 10), QStringLiteral("MAC Address"));
    macText_ = AddReadOnlyEdit(kMac, Dlu(140, 134, 200, 13));
    QLabel* portLabel = AddStatic(kPortLabel, Dlu(30, 152, 100, 10), QStringLiteral("Port"));
    portText_ = AddReadOnlyEdit(kPort, Dlu(140, 150, 200, 13));
    QLabel* secondPortLabel = AddStatic(kSecondPortLabel, Dlu(30, 168, 100, 10), QStringLiteral("Second Port"));
    secondPort_ = AddReadOnlyEdit(kSecondPort, Dlu(140, 166, 200, 13));
    QLabel* interfaceLabel = AddStatic(kInterfaceLabel, Dlu(30, 184, 100, 10), QStringLiteral("Interface"));
    interface_ = AddReadOnlyEdit(kInterface, Dlu(140, 182, 200, 13));
    linkState_ = AddStatic(kLinkState, Dlu(30, 204, 340, 20), QStringLiteral(""));
    // The link keeps the plain button style, with its icon left of the caption.
    QPushButton* link = AddIconButton(kLink, Dlu(140, 222, 110, 18), QStringLiteral("Link"), art::kIconLink,
                                      ToolbarButton::IconSide::Left);

    Captions({{addressLabel, "IP"},
              {cameraIdLabel, "CamID"},
              {macLabel, "MAC"},
              {interfaceLabel, "Interface"},
              {portLabel, "Port"},
              {secondPortLabel, "SPort"},
              {link, "BtnLink"}});
    KeptTexts({{kLinked}, {kNotLinked}});

    connect(link, &QAbstractButton::clicked, this, &SetupFinishedPage::OnLink);
    connect(AddFinishButton(kFinish, QStringLiteral("Finish")), &QAbstractButton::clicked, this,
            &SetupFinishedPage::OnFinish);
}

void SetupFinishedPage::OnInitPage() {
    mac_.clear();
    ip_.clear();
    port_.clear();
    sport_.clear();
    descInterface_.clear();
    serial_.clear();
    mask_.clear();
}

void SetupFinishedPage::SetFoundCamera(const discovery::DiscoveredCamera& camera) { camera_ = camera; }

QString SetupFinishedPage::WebAddress() const { return QStringLiteral("http://%1:%2").arg(ip_, port_); }

void SetupFinishedPage::LoadFromSettings() {
    mac_ = FieldString(camera_.MacText);
    ip_ = FieldString(camera_.IpText);
    serial_ = FieldString(camera_.SerialNo);
    port_ = FieldString(camera_.PortText);
    sport_ = FieldString(camera_.SportText);
    descInterface_ = FieldString(camera_.DescInterface);
    mask_ = FieldString(camera_.MaskText);

    SetControlText(macText_, mac_);
    SetControlText(address_, WebAddress());
    SetControlText(cameraId_, serial_);
    SetControlText(portText_, port_);
    SetControlText(secondPort_, sport_);
    // The interface follows the description, as "<description>/<interface>";
    // a text that begins with the word is a description, not an interface.
    if (descInterface_.indexOf(QStringLiteral("wireless")) > 0) SetControlText(interface_, QStringLiteral("wireless"));
    if (descInterface_.indexOf(QStringLiteral("ethernet")) > 0) SetControlText(interface_, QStringLiteral("ethernet"));
    SetControlText(linkState_, Kept(Settings().NATStat == 1 ? kLinked : kNotLinked));
}

void SetupFinishedPage::OnLink() {
    if (Context() && Context()->urlOpener) Context()->urlOpener->Open(WebAddress());
}

void SetupFinishedPage::OnFinish() { PostCommand(WizardCommand::StartOver); }

}  // namespace orvanta

#include "gui/pages/CSubSetupFinish.h"

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

#include "gui/app/Art.h"
#include "gui/app/UrlOpener.h"
#include "gui/controls/CIPAddressCtrl.h"
#include "gui/controls/CPictureFrame.h"

namespace orvanta {

CSubSetupFinish::CSubSetupFinish(QWidget* parent) : CWizardPage(207, "SetupFinishPage", parent) {
    AddPicture(0, Dlu(4, 4, 124, 94), 229);
    AddStatic(1272, Dlu(134, 10, 20, 20), QStringLiteral(""));
    AddStatic(1296, Dlu(30, 104, 100, 10), QStringLiteral("IP Address"));
    {
        QLineEdit* e = AddEdit(1022, Dlu(140, 102, 200, 13), 0);
        e->setReadOnly(true);
    }
    AddStatic(1297, Dlu(30, 120, 100, 10), QStringLiteral("Camera ID"))->hide();
    {
        QLineEdit* e = AddEdit(1250, Dlu(140, 118, 200, 13), 0);
        e->setReadOnly(true);
        e->hide();
    }
    AddStatic(1298, Dlu(30, 136, 100, 10), QStringLiteral("MAC Address"));
    {
        QLineEdit* e = AddEdit(1020, Dlu(140, 134, 200, 13), 0);
        e->setReadOnly(true);
    }
    AddStatic(1300, Dlu(30, 152, 100, 10), QStringLiteral("Port"));
    {
        QLineEdit* e = AddEdit(1251, Dlu(140, 150, 200, 13), 0);
        e->setReadOnly(true);
    }
    AddStatic(1301, Dlu(30, 168, 100, 10), QStringLiteral("Second Port"));
    {
        QLineEdit* e = AddEdit(1252, Dlu(140, 166, 200, 13), 0);
        e->setReadOnly(true);
    }
    AddStatic(1299, Dlu(30, 184, 100, 10), QStringLiteral("Interface"));
    {
        QLineEdit* e = AddEdit(1253, Dlu(140, 182, 200, 13), 0);
        e->setReadOnly(true);
    }
    AddStatic(1254, Dlu(30, 204, 340, 20), QStringLiteral(""));
    {
        // The link keeps the plain button style, with its icon left of the caption.
        QPushButton* b =
            AddIconButton(1262, Dlu(140, 222, 110, 18), QStringLiteral("Link"), art::kIconLink, CXButtonXP::IconSide::Left);
        connect(b, &QAbstractButton::clicked, this, &CSubSetupFinish::OnLink);
    }
    connect(AddFinishButton(1249, QStringLiteral("Finish")), &QAbstractButton::clicked, this, &CSubSetupFinish::OnFinish);
}

void CSubSetupFinish::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1296), lang, "IP", 260);
    SetCaption(Control(1297), lang, "CamID", 260);
    SetCaption(Control(1298), lang, "MAC", 260);
    SetCaption(Control(1299), lang, "Interface", 260);
    SetCaption(Control(1300), lang, "Port", 260);
    SetCaption(Control(1301), lang, "SPort", 260);
    SetCaption(Control(1262), lang, "BtnLink", 260);
    KeepText(lang, "Linked", 260);
    KeepText(lang, "NotLinked", 260);
}

void CSubSetupFinish::OnInitPage() {
    mac_.clear();
    ip_.clear();
    port_.clear();
    sport_.clear();
    descInterface_.clear();
    serial_.clear();
    mask_.clear();
}

void CSubSetupFinish::SetFoundCamera(const discovery::DiscoveredCamera& camera) { camera_ = camera; }

QString CSubSetupFinish::WebAddress() const { return QStringLiteral("http://%1:%2").arg(ip_, port_); }

void CSubSetupFinish::LoadFromSettings() {
    mac_ = FieldString(camera_.MacText);
    ip_ = FieldString(camera_.IpText);
    serial_ = FieldString(camera_.SerialNo);
    port_ = FieldString(camera_.PortText);
    sport_ = FieldString(camera_.SportText);
    descInterface_ = FieldString(camera_.DescInterface);
    mask_ = FieldString(camera_.MaskText);

    SetControlText(Control(1020), mac_);
    SetControlText(Control(1022), WebAddress());
    SetControlText(Control(1250), serial_);
    SetControlText(Control(1251), port_);
    SetControlText(Control(1252), sport_);
    // The interface follows the description, as "<description>/<interface>";
    // a text that begins with the word is a description, not an interface.
    if (descInterface_.indexOf(QStringLiteral("wireless")) > 0) SetControlText(Control(1253), QStringLiteral("wireless"));
    if (descInterface_.indexOf(QStringLiteral("ethernet")) > 0) SetControlText(Control(1253), QStringLiteral("ethernet"));
    SetControlText(Control(1254), Kept(Settings().NATStat == 1 ? "Linked" : "NotLinked"));
}

void CSubSetupFinish::OnLink() {
    if (Context() && Context()->urlOpener) Context()->urlOpener->Open(WebAddress());
}

void CSubSetupFinish::OnFinish() { PostCommand(cmd::kFirstPage); }

}  // namespace orvanta

#include "gui/pages/CSubLANISP.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "gui/pages/EditLimit.h"

namespace orvanta {
namespace {

// Typing limit of the three account edits; each lands in a 64-byte field.
constexpr int kAccountChars = 32;

}  // namespace

CSubLANISP::CSubLANISP(QWidget* parent) : CWizardPage(143, "LANISPPage", parent) {
    QButtonGroup* linkGroup = AddRadioGroup();
    lan_ = AddRadio(1093, Dlu(30, 40, 150, 12), QStringLiteral("LAN"), linkGroup);
    pppoe_ = AddRadio(1092, Dlu(30, 58, 150, 12), QStringLiteral("PPPoE"), linkGroup);
    AddGroupBox(0, Dlu(20, 76, 350, 80), QStringLiteral("PPPoE "));
    AddStatic(1306, Dlu(30, 92, 110, 10), QStringLiteral("User ID"));
    user_ = AddEdit(1094, Dlu(150, 90, 200, 13));
    AddStatic(1307, Dlu(30, 112, 110, 10), QStringLiteral("Password"));
    password_ = AddEdit(1095, Dlu(150, 110, 200, 13));
    password_->setEchoMode(QLineEdit::Password);
    AddStatic(1308, Dlu(30, 132, 110, 10), QStringLiteral("Confirm Password"));
    confirm_ = AddEdit(1096, Dlu(150, 130, 200, 13));
    confirm_->setEchoMode(QLineEdit::Password);
    EditLimit::Apply(user_, kAccountChars, sizeof(CameraSettings::PAccount));
    EditLimit::Apply(password_, kAccountChars, sizeof(CameraSettings::PPwd));
    EditLimit::Apply(confirm_, kAccountChars, sizeof(CameraSettings::PVP));
    AddStepTitle(1241, "TitleISP", 1024, QStringLiteral(""));
    connect(AddBackButton(1065, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubLANISP::OnBack);
    connect(AddNextButton(1064, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubLANISP::OnNext);
    // Only the user's choice greys or frees the account; a refresh does it
    // itself.
    WhenChecked(lan_, [this] { SetAccountEnabled(false); });
    WhenChecked(pppoe_, [this] { SetAccountEnabled(true); });
}

void CSubLANISP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(lan_, lang, "RadioLAN", 260);
    SetCaption(pppoe_, lang, "RadioPPPoE", 260);
    SetCaption(Control(1306), lang, "UserID", 260);
    SetCaption(Control(1307), lang, "Password", 260);
    SetCaption(Control(1308), lang, "ConfirmPwd", 260);
    KeepText(lang, "Message1", 260);
    KeepText(lang, "Message2", 260);
}

void CSubLANISP::SetAccountEnabled(bool enabled) { SetEnabledAll({user_, password_, confirm_}, enabled); }

void CSubLANISP::LoadFromSettings() {
    const QuietLoad quiet(this);
    const CameraSettings& s = Settings();
    if (s.IPType == 2) {
        SetChecked(pppoe_, true);
        SetChecked(lan_, false);
        user_->setText(FieldString(s.PAccount));
        password_->setText(FieldString(s.PPwd));
        confirm_->setText(FieldString(s.PVP));
        SetAccountEnabled(true);
    } else if (s.IPType == 0 || s.IPType == 1) {
        SetChecked(lan_, true);
        SetChecked(pppoe_, false);
        // The texts stay: going back to PPPoE finds them again.
        SetAccountEnabled(false);
    }
}

void CSubLANISP::OnBack() { PostCommand(cmd::kSystemPage); }

void CSubLANISP::OnNext() {
    if (!EitherChecked(lan_, pppoe_)) {
        Ask(Kept("Message2"), QStringLiteral("Orvanta"), mb::kOk);
        return;
    }
    if (lan_->isChecked()) {
        // The LAN IP page sets IPType.
        PostCommand(cmd::kLanIpPage);
        return;
    }
    const QString user = user_->text();
    const QString password = password_->text();
    const QString confirm = confirm_->text();
    // Case matters: the camera dials with exactly what is stored.
    if (password != confirm) {
        Ask(Kept("Message1"), QStringLiteral("Orvanta"), mb::kOk | mb::kIconStop);
        return;
    }
    CameraSettings& s = Settings();
    s.IPType = 2;
    StoreText(s.PAccount, user);
    StoreText(s.PPwd, password);
    StoreText(s.PVP, confirm);
    PostCommand(cmd::kUpnpPage);
}

}  // namespace orvanta

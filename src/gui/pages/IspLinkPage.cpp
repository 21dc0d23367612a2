#include "gui/pages/IspLinkPage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "gui/framework/EditLimit.h"

namespace orvanta {
namespace {

// Typing limit of the three account edits; each lands in a 64-byte field.
constexpr int kAccountChars = 32;

constexpr const char* kPasswordsDiffer = "Message1";
constexpr const char* kChooseOne = "Message2";

}  // namespace

IspLinkPage::IspLinkPage(QWidget* parent) : WizardPage(143, "LANISPPage", parent) {
    QButtonGroup* linkGroup = AddRadioGroup();
    lan_ = AddRadio(kLanRadio, Dlu(30, 40, 150, 12), QStringLiteral("LAN"), linkGroup);
    pppoe_ = AddRadio(kPppoeRadio, Dlu(30, 58, 150, 12), QStringLiteral("PPPoE"), linkGroup);
    AddGroupBox(0, Dlu(20, 76, 350, 80), QStringLiteral("PPPoE "));
    QLabel* userLabel = AddStatic(kUserLabel, Dlu(30, 92, 110, 10), QStringLiteral("User ID"));
    user_ = AddEdit(kUser, Dlu(150, 90, 200, 13));
    QLabel* passwordLabel = AddStatic(kPasswordLabel, Dlu(30, 112, 110, 10), QStringLiteral("Password"));
    password_ = AddEdit(kPassword, Dlu(150, 110, 200, 13));
    password_->setEchoMode(QLineEdit::Password);
    QLabel* confirmLabel = AddStatic(kConfirmLabel, Dlu(30, 132, 110, 10), QStringLiteral("Confirm Password"));
    confirm_ = AddEdit(kConfirm, Dlu(150, 130, 200, 13));
    confirm_->setEchoMode(QLineEdit::Password);
    EditLimit::Apply(user_, kAccountChars, sizeof(CameraSettings::PAccount));
    EditLimit::Apply(password_, kAccountChars, sizeof(CameraSettings::PPwd));
    EditLimit::Apply(confirm_, kAccountChars, sizeof(CameraSettings::PVP));
    AddStepTitle(kTitle, "TitleISP", kMessageCapacity, QStringLiteral(""));

    Captions({{lan_, "RadioLAN"},
              {pppoe_, "RadioPPPoE"},
              {userLabel, "UserID"},
              {passwordLabel, "Password"},
              {confirmLabel, "ConfirmPwd"}});
    KeptTexts({{kPasswordsDiffer}, {kChooseOne}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &IspLinkPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &IspLinkPage::OnNext);
    // Only the user's choice greys or frees the account; a refresh does it
    // itself.
    WhenChecked(lan_, [this] { SetAccountEnabled(false); });
    WhenChecked(pppoe_, [this] { SetAccountEnabled(true); });
}

void IspLinkPage::SetAccountEnabled(bool enabled) { SetEnabledAll({user_, password_, confirm_}, enabled); }

void IspLinkPage::LoadFromSettings() {
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

void IspLinkPage::OnBack() { PostCommand(WizardCommand::ShowSystemPage); }

void IspLinkPage::OnNext() {
    if (!EitherChecked(lan_, pppoe_)) {
        Ask(Kept(kChooseOne), QStringLiteral("Orvanta"), PromptIcon::None);
        return;
    }
    if (lan_->isChecked()) {
        // The LAN IP page sets IPType.
        PostCommand(WizardCommand::ShowLanAddressPage);
        return;
    }
    const QString user = user_->text();
    const QString password = password_->text();
    const QString confirm = confirm_->text();
    // Case matters: the camera dials with exactly what is stored.
    if (password != confirm) {
        Ask(Kept(kPasswordsDiffer), QStringLiteral("Orvanta"), PromptIcon::Critical);
        return;
    }
    CameraSettings& s = Settings();
    s.IPType = 2;
    StoreText(s.PAccount, user);
    StoreText(s.PPwd, password);
    StoreText(s.PVP, confirm);
    PostCommand(WizardCommand::ShowUpnpPortsPage);
}

}  // namespace orvanta

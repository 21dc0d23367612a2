#include "gui/pages/CSubPPPoE.h"

#include <QLabel>
#include <QLineEdit>

#include "gui/pages/EditLimit.h"

namespace orvanta {

CSubPPPoE::CSubPPPoE(QWidget* parent) : CWizardPage(177, "PPPoEPage", parent) {
    AddStatic(1294, Dlu(30, 50, 110, 10), QStringLiteral("User ID"));
    user_ = AddEdit(1222, Dlu(150, 48, 200, 13));
    AddStatic(1295, Dlu(30, 70, 110, 10), QStringLiteral("Password"));
    password_ = AddEdit(1223, Dlu(150, 68, 200, 13));
    password_->setEchoMode(QLineEdit::Password);
    // Nothing longer than the record's 64-byte account fields can be typed,
    // so what the camera gets is what the user typed.
    EditLimit::Apply(user_, static_cast<int>(sizeof(CameraSettings::PAccount)) - 1, sizeof(CameraSettings::PAccount));
    EditLimit::Apply(password_, static_cast<int>(sizeof(CameraSettings::PPwd)) - 1, sizeof(CameraSettings::PPwd));
    AddStepTitle(1349, "TitlePPPoE", 1024, QStringLiteral(""));
    connect(AddBackButton(1225, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubPPPoE::OnBack);
    connect(AddNextButton(1224, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubPPPoE::OnNext);
}

void CSubPPPoE::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1294), lang, "UserID", 260);
    SetCaption(Control(1295), lang, "Password", 260);
}

void CSubPPPoE::LoadFromSettings() {
    user_->setText(FieldString(Settings().DialUser));
    password_->clear();
}

void CSubPPPoE::OnBack() { PostCommand(cmd::kOptionPage); }

void CSubPPPoE::OnNext() {
    CameraSettings& s = Settings();
    s.IPType = 2;
    StoreText(s.PAccount, user_->text());
    StoreText(s.PPwd, password_->text());
    // One password here: the confirmation the camera expects is the same.
    SetField(s.PVP, FieldText(s.PPwd));
    PostCommand(cmd::kUpnpPage);
}

}  // namespace orvanta

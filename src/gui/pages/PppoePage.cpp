#include "gui/pages/PppoePage.h"

#include <QLabel>
#include <QLineEdit>

#include "gui/framework/EditLimit.h"

namespace orvanta {

PppoePage::PppoePage(QWidget* parent) : WizardPage(177, "PPPoEPage", parent) {
    QLabel* userLabel = AddStatic(kUserLabel, Dlu(30, 50, 110, 10), QStringLiteral("User ID"));
    user_ = AddEdit(kUser, Dlu(150, 48, 200, 13));
    QLabel* passwordLabel = AddStatic(kPasswordLabel, Dlu(30, 70, 110, 10), QStringLiteral("Password"));
    password_ = AddEdit(kPassword, Dlu(150, 68, 200, 13));
    password_->setEchoMode(QLineEdit::Password);
    // Nothing longer than the record's 64-byte account fields can be typed,
    // so what the camera gets is what the user typed.
    EditLimit::Apply(user_, static_cast<int>(sizeof(CameraSettings::PAccount)) - 1, sizeof(CameraSettings::PAccount));
    EditLimit::Apply(password_, static_cast<int>(sizeof(CameraSettings::PPwd)) - 1, sizeof(CameraSettings::PPwd));
    AddStepTitle(kTitle, "TitlePPPoE", kMessageCapacity, QStringLiteral(""));

    Captions({{userLabel, "UserID"}, {passwordLabel, "Password"}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &PppoePage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &PppoePage::OnNext);
}

void PppoePage::LoadFromSettings() {
    user_->setText(FieldString(Settings().DialUser));
    password_->clear();
}

void PppoePage::OnBack() { PostCommand(WizardCommand::ShowOptionPage); }

void PppoePage::OnNext() {
    CameraSettings& s = Settings();
    s.IPType = 2;
    StoreText(s.PAccount, user_->text());
    StoreText(s.PPwd, password_->text());
    // One password here: the confirmation the camera expects is the same.
    SetField(s.PVP, FieldText(s.PPwd));
    PostCommand(WizardCommand::ShowUpnpPortsPage);
}

}  // namespace orvanta

#include "gui/pages/OnvifLoginPage.h"

#include <QLabel>
#include <QLineEdit>

#include "core/i18n/LanguageStrings.h"
#include "gui/framework/OnvifResultText.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/ShownText.h"

namespace orvanta {

namespace {

// Most cameras ship with this ONVIF user; the installer changes it when
// the camera has another.
constexpr const char* kUsualUser = "admin";

QString Plain(const std::string& text) { return ShownText(text); }

}  // namespace

OnvifLoginPage::OnvifLoginPage(QWidget* parent) : WizardPage(301, "OnvifLoginPage", parent) {
    QLabel* cameraLabel = AddStatic(kCameraLabel, Dlu(30, 36, 105, 10), QStringLiteral("Camera"));
    camera_ = AddReadOnlyEdit(kCamera, Dlu(140, 34, 230, 13));
    QLabel* addressLabel = AddStatic(kAddressLabel, Dlu(30, 54, 105, 10), QStringLiteral("Address"));
    address_ = AddReadOnlyEdit(kAddress, Dlu(140, 52, 230, 13));
    QLabel* cardLabel = AddStatic(kCardLabel, Dlu(30, 72, 105, 10), QStringLiteral("Network card"));
    card_ = AddReadOnlyEdit(kCard, Dlu(140, 70, 230, 13));
    QLabel* userLabel = AddStatic(kUserLabel, Dlu(30, 98, 105, 10), QStringLiteral("User name"));
    user_ = AddEdit(kUser, Dlu(140, 96, 150, 13), 64);
    QLabel* passwordLabel = AddStatic(kPasswordLabel, Dlu(30, 116, 105, 10), QStringLiteral("Password"));
    password_ = AddEdit(kPassword, Dlu(140, 114, 150, 13), 64);
    password_->setEchoMode(QLineEdit::Password);
    QLabel* note = AddStatic(kNote, Dlu(30, 136, 340, 40), QString());
    status_ = AddStatic(kStatus, Dlu(30, 180, 340, 56), QString());
    // The camera's own words may follow the sentence: never read as markup.
    status_->setTextFormat(Qt::PlainText);
    AddStepTitle(kTitle, "TitleOnvifLogin", kCaptionCapacity, QStringLiteral("Log In to the Camera"));

    Captions({{cameraLabel, "Camera"},
              {addressLabel, "Address"},
              {cardLabel, "Card"},
              {userLabel, "User"},
              {passwordLabel, "Password"},
              {note, "Note", kMessageCapacity}});

    connect(AddBackButton(kBack), &QAbstractButton::clicked, this, &OnvifLoginPage::OnBack);
    connect(AddNextButton(kNext), &QAbstractButton::clicked, this, &OnvifLoginPage::OnNext);
    connect(password_, &QLineEdit::returnPressed, this, &OnvifLoginPage::OnNext);
}

void OnvifLoginPage::LoadFromSettings() {
    if (!Context() || !Context()->onvifSetup) return;
    const OnvifSetup& setup = *Context()->onvifSetup;
    const onvif::DiscoveredOnvifDevice& d = setup.device;
    QString name = Plain(d.name);
    if (!d.hardware.empty()) name += (name.isEmpty() ? QString() : QStringLiteral(" \u2014 ")) + Plain(d.hardware);
    SetControlText(camera_, name.isEmpty() ? Plain(d.endpoint) : name);
    SetControlText(address_, Plain(OnvifHost(d)));
    QStringList cards;
    for (const std::string& c : d.interfaces) cards << Plain(c);
    if (cards.isEmpty() && !d.interfaceName.empty()) cards << Plain(d.interfaceName);
    SetControlText(card_, cards.join(QStringLiteral(", ")));
    user_->setText(setup.credentials.user.empty() ? QString::fromLatin1(kUsualUser)
                                                  : QString::fromStdString(setup.credentials.user));
    password_->setText(QString::fromStdString(setup.credentials.password));
    const LanguageStrings* lang = Context()->language;
    status_->setText(setup.lastResult.ok() || !lang ? QString() : OnvifResultText(*lang, setup.lastResult));
    (setup.lastResult.ok() ? user_ : password_)->setFocus();
}

void OnvifLoginPage::OnBack() {
    if (Context() && Context()->onvifSetup) Context()->onvifSetup->credentials.password.clear();
    PostCommand(WizardCommand::ShowSearchPage);
}

void OnvifLoginPage::OnNext() {
    if (!Context() || !Context()->onvifSetup) return;
    OnvifSetup& setup = *Context()->onvifSetup;
    setup.credentials.user = user_->text().toStdString();
    setup.credentials.password = password_->text().toStdString();
    status_->clear();
    PostCommand(WizardCommand::OnvifLogin);
}

}  // namespace orvanta

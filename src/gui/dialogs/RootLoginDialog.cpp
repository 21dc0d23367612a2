#include "gui/controls/CaptionLayout.h"
#include "gui/dialogs/RootLoginDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "core/i18n/LanguageStrings.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

namespace {

QLabel* AddLabel(QWidget* parent, int id, QRect dlu) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::number(id));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setGeometry(dlu);
    return label;
}

}  // namespace

RootLoginDialog::RootLoginDialog(const std::string& languageFilePath, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::number(kDialog));
    setModal(true);
    setFixedSize(WizardPage::DluX(171), WizardPage::DluY(119));
    // A refused file was reported when the window loaded it; not again here.
    const LanguageStrings lang(languageFilePath, [](const std::string&) {});
    const auto text = [&lang](const char* key) { return WizardPage::Text(lang, "DlgLoginRoot", key, kCaptionCapacity); };

    QLabel* userLabel = AddLabel(this, kUserLabel, WizardPage::Dlu(10, 12, 50, 10));
    userEdit_ = new QLineEdit(this);
    userEdit_->setObjectName(QString::number(kUser));
    userEdit_->setReadOnly(true);
    userEdit_->setGeometry(WizardPage::Dlu(64, 10, 96, 13));
    QLabel* passwordLabel = AddLabel(this, kPasswordLabel, WizardPage::Dlu(10, 32, 50, 10));
    passwordEdit_ = new QLineEdit(this);
    passwordEdit_->setObjectName(QString::number(kPassword));
    passwordEdit_->setEchoMode(QLineEdit::Password);
    passwordEdit_->setMaxLength(kMaxPasswordChars);
    passwordEdit_->setGeometry(WizardPage::Dlu(64, 30, 96, 13));
    QLabel* note = AddLabel(this, kNote, WizardPage::Dlu(10, 50, 150, 36));
    ok_ = new QPushButton(this);
    ok_->setObjectName(QString::number(kOk));
    ok_->setGeometry(WizardPage::Dlu(60, 94, 50, 16));
    ok_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &RootLoginDialog::OnOk);
    for (const Id id : {kTemplateOk, kTemplateCancel}) {
        auto* hidden = new QPushButton(this);
        hidden->setObjectName(QString::number(id));
        hidden->setAutoDefault(false);
        hidden->hide();
    }

    user_ = QStringLiteral("root");
    userEdit_->setText(user_);
    userEdit_->setAccessibleName(QStringLiteral("User"));
    passwordEdit_->setAccessibleName(QStringLiteral("Password"));
    setWindowTitle(text("DlgLoginRootCaption"));
    const std::pair<QWidget*, const char*> captions[] = {
        {userLabel, "Root"}, {passwordLabel, "Password"}, {note, "note1"}, {ok_, "BtnOK"}};
    for (const auto& [control, key] : captions) WizardPage::SetControlText(control, text(key));
    if (ok_->text().isEmpty()) ok_->setAccessibleName(QStringLiteral("OK"));
    FitCaptions(this);
    setAccessibleName(windowTitle().isEmpty() ? QStringLiteral("Login root") : windowTitle());
}

void RootLoginDialog::OnOk() {
    user_ = userEdit_->text();
    password_ = passwordEdit_->text();
    accept();
}

}  // namespace orvanta

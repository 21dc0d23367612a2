#include "gui/controls/CaptionLayout.h"
#include "gui/dialogs/CDlgLoginRoot.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/i18n/LanguageStrings.h"
#include "gui/pages/CWizardPage.h"

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

CDlgLoginRoot::CDlgLoginRoot(const std::string& languageFilePath, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("246"));
    setModal(true);
    setFixedSize(CWizardPage::DluX(171), CWizardPage::DluY(119));
    // A refused file was reported when the window loaded it; not again here.
    const LanguageStrings lang(languageFilePath, [](const std::string&) {});
    const auto text = [&lang](const char* key) { return CWizardPage::Text(lang, "DlgLoginRoot", key, 260); };

    QLabel* userLabel = AddLabel(this, 1360, CWizardPage::Dlu(10, 12, 50, 10));
    userEdit_ = new QLineEdit(this);
    userEdit_->setObjectName(QStringLiteral("1358"));
    userEdit_->setReadOnly(true);
    userEdit_->setGeometry(CWizardPage::Dlu(64, 10, 96, 13));
    QLabel* passwordLabel = AddLabel(this, 1361, CWizardPage::Dlu(10, 32, 50, 10));
    passwordEdit_ = new QLineEdit(this);
    passwordEdit_->setObjectName(QStringLiteral("1359"));
    passwordEdit_->setEchoMode(QLineEdit::Password);
    passwordEdit_->setMaxLength(kMaxPasswordChars);
    passwordEdit_->setGeometry(CWizardPage::Dlu(64, 30, 96, 13));
    QLabel* note = AddLabel(this, 1362, CWizardPage::Dlu(10, 50, 150, 36));
    ok_ = new QPushButton(this);
    ok_->setObjectName(QStringLiteral("1374"));
    ok_->setGeometry(CWizardPage::Dlu(60, 94, 50, 16));
    ok_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &CDlgLoginRoot::OnOk);
    // The template's own OK and Cancel exist but are never shown.
    for (const int id : {1, 2}) {
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
    CWizardPage::SetControlText(userLabel, text("Root"));
    CWizardPage::SetControlText(passwordLabel, text("Password"));
    CWizardPage::SetControlText(note, text("note1"));
    CWizardPage::SetControlText(ok_, text("BtnOK"));
    if (ok_->text().isEmpty()) ok_->setAccessibleName(QStringLiteral("OK"));
    FitCaptions(this);
    setAccessibleName(windowTitle().isEmpty() ? QStringLiteral("Login root") : windowTitle());
}

void CDlgLoginRoot::OnOk() {
    user_ = userEdit_->text();
    password_ = passwordEdit_->text();
    accept();
}

}  // namespace orvanta

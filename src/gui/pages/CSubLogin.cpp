#include "gui/pages/CSubLogin.h"

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

#include "gui/controls/CIPAddressCtrl.h"
#include "gui/controls/CPictureFrame.h"

namespace orvanta {

CSubLogin::CSubLogin(QWidget* parent) : CWizardPage(145, "LoginPage", parent) {
    AddStatic(1290, Dlu(30, 34, 340, 30), QStringLiteral(""));
    AddStatic(1291, Dlu(30, 74, 100, 10), QStringLiteral("Login Type"));
    {
        QComboBox* box = AddCombo(1268, Dlu(140, 72, 150, 40), false);
        box->addItems({QStringLiteral("Device login"), QStringLiteral("User login")});
        box->setCurrentIndex(0);
    }
    AddStatic(1292, Dlu(30, 94, 100, 10), QStringLiteral("ID"));
    {
        QLineEdit* e = AddEdit(1019, Dlu(140, 92, 150, 13), 32);
    }
    AddStatic(1293, Dlu(30, 114, 100, 10), QStringLiteral("Password"));
    {
        QLineEdit* e = AddEdit(1021, Dlu(140, 112, 150, 13), 32);
        e->setEchoMode(QLineEdit::Password);
    }
    {
        QPushButton* b = AddButton(1046, Dlu(160, 242, 60, 20), QStringLiteral("Exit"));
        b->hide();
        b->setEnabled(false);
    }
    AddStepTitle(1356, "TitleLogin", 1024, QStringLiteral(""));
    connect(AddBackButton(1047, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubLogin::OnBack);
    connect(AddNextButton(1048, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubLogin::OnNext);
}

void CSubLogin::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1290), lang, "Note", 260);
    SetCaption(Control(1291), lang, "LoginType", 260);
    SetCaption(Control(1292), lang, "ID", 260);
    SetCaption(Control(1293), lang, "Password", 260);
    KeepText(lang, "Message1", 1024);
    KeepText(lang, "DiviceLogin", 260);
    KeepText(lang, "UserLogin", 260);
}

void CSubLogin::OnBack() {}
void CSubLogin::OnNext() {}

}  // namespace orvanta

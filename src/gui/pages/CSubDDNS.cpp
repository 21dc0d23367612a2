#include "gui/pages/CSubDDNS.h"

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

CSubDDNS::CSubDDNS(QWidget* parent) : CWizardPage(157, "DDNSPage", parent) {
    AddCheck(1054, Dlu(30, 40, 200, 12), QStringLiteral("Enable DDNS"));
    AddStatic(1286, Dlu(30, 64, 110, 10), QStringLiteral("Provider"));
    {
        QComboBox* box = AddCombo(1122, Dlu(150, 62, 200, 100), false);
        box->setCurrentIndex(-1);
    }
    AddStatic(1287, Dlu(30, 84, 110, 10), QStringLiteral("Host Name"));
    {
        QLineEdit* e = AddEdit(1123, Dlu(150, 82, 200, 13), 127);
    }
    AddStatic(1288, Dlu(30, 104, 110, 10), QStringLiteral("User Name"));
    {
        QLineEdit* e = AddEdit(1124, Dlu(150, 102, 200, 13), 63);
    }
    AddStatic(1289, Dlu(30, 124, 110, 10), QStringLiteral("Password"));
    {
        QLineEdit* e = AddEdit(1125, Dlu(150, 122, 200, 13), 20);
        e->setEchoMode(QLineEdit::Password);
    }
    AddStepTitle(1242, "TitleDDNS", 1024, QStringLiteral(""));
    connect(AddBackButton(1055, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubDDNS::OnBack);
    connect(AddNextButton(1056, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubDDNS::OnNext);
}

void CSubDDNS::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1054), lang, "DDNSEn", 260);
    SetCaption(Control(1286), lang, "Provider", 260);
    SetCaption(Control(1287), lang, "Hostname", 260);
    SetCaption(Control(1288), lang, "Username", 260);
    SetCaption(Control(1289), lang, "Password", 260);
    KeepText(lang, "Message1", 1024);
}

void CSubDDNS::OnBack() {}
void CSubDDNS::OnNext() {}

}  // namespace orvanta

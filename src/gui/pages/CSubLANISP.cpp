#include "gui/pages/CSubLANISP.h"

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

CSubLANISP::CSubLANISP(QWidget* parent) : CWizardPage(143, "LANISPPage", parent) {
    QButtonGroup* linkGroup = AddRadioGroup();
    AddRadio(1093, Dlu(30, 40, 150, 12), QStringLiteral("LAN"), linkGroup);
    AddRadio(1092, Dlu(30, 58, 150, 12), QStringLiteral("PPPoE"), linkGroup);
    AddGroupBox(0, Dlu(20, 76, 350, 80), QStringLiteral("PPPoE "));
    AddStatic(1306, Dlu(30, 92, 110, 10), QStringLiteral("User ID"));
    {
        QLineEdit* e = AddEdit(1094, Dlu(150, 90, 200, 13), 32);
    }
    AddStatic(1307, Dlu(30, 112, 110, 10), QStringLiteral("Password"));
    {
        QLineEdit* e = AddEdit(1095, Dlu(150, 110, 200, 13), 32);
        e->setEchoMode(QLineEdit::Password);
    }
    AddStatic(1308, Dlu(30, 132, 110, 10), QStringLiteral("Confirm Password"));
    {
        QLineEdit* e = AddEdit(1096, Dlu(150, 130, 200, 13), 32);
        e->setEchoMode(QLineEdit::Password);
    }
    AddStepTitle(1241, "TitleISP", 1024, QStringLiteral(""));
    connect(AddBackButton(1065, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubLANISP::OnBack);
    connect(AddNextButton(1064, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubLANISP::OnNext);
}

void CSubLANISP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1093), lang, "RadioLAN", 260);
    SetCaption(Control(1092), lang, "RadioPPPoE", 260);
    SetCaption(Control(1306), lang, "UserID", 260);
    SetCaption(Control(1307), lang, "Password", 260);
    SetCaption(Control(1308), lang, "ConfirmPwd", 260);
    KeepText(lang, "Message1", 260);
}

void CSubLANISP::OnBack() {}
void CSubLANISP::OnNext() {}

}  // namespace orvanta

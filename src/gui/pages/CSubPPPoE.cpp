#include "gui/pages/CSubPPPoE.h"

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

CSubPPPoE::CSubPPPoE(QWidget* parent) : CWizardPage(177, "PPPoEPage", parent) {
    AddStatic(1294, Dlu(30, 50, 110, 10), QStringLiteral("User ID"));
    {
        QLineEdit* e = AddEdit(1222, Dlu(150, 48, 200, 13), 63);
    }
    AddStatic(1295, Dlu(30, 70, 110, 10), QStringLiteral("Password"));
    {
        QLineEdit* e = AddEdit(1223, Dlu(150, 68, 200, 13), 63);
        e->setEchoMode(QLineEdit::Password);
    }
    AddStepTitle(1349, "TitlePPPoE", 1024, QStringLiteral(""));
    connect(AddBackButton(1225, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubPPPoE::OnBack);
    connect(AddNextButton(1224, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubPPPoE::OnNext);
}

void CSubPPPoE::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1294), lang, "UserID", 260);
    SetCaption(Control(1295), lang, "Password", 260);
}

void CSubPPPoE::OnBack() {}
void CSubPPPoE::OnNext() {}

}  // namespace orvanta

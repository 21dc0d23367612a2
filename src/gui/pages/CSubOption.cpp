#include "gui/pages/CSubOption.h"

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

CSubOption::CSubOption(QWidget* parent) : CWizardPage(130, "OptionPage", parent) {
    QButtonGroup* setupGroup = AddRadioGroup();
    AddRadio(1068, Dlu(40, 50, 200, 14), QStringLiteral("Wizard  Setup"), setupGroup);
    AddStatic(1275, Dlu(56, 66, 300, 30), QStringLiteral("Wizard  will help you to setup all Camera's  Parameters  include  Network, Wireless."));
    AddRadio(1069, Dlu(40, 110, 200, 14), QStringLiteral("Maunal Setup"), setupGroup);
    AddStatic(1276, Dlu(56, 126, 300, 40), QStringLiteral("Users to set up the camera parameters, including IP,\n wireless base stations, wireless security,\n and DDNS."));
    AddStepTitle(1243, nullptr, 260, QStringLiteral(""))->hide();
    connect(AddBackButton(1001, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubOption::OnBack);
    connect(AddNextButton(1034, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubOption::OnNext);
}

void CSubOption::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1068), lang, "RadioWizard", 260);
    SetCaption(Control(1069), lang, "RadioMaunal", 260);
    SetCaption(Control(1275), lang, "StaticWizard", 260);
    SetCaption(Control(1276), lang, "StaticMaunal", 260);
}

void CSubOption::OnBack() {}
void CSubOption::OnNext() {}

}  // namespace orvanta

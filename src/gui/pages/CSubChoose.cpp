#include "gui/pages/CSubChoose.h"

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

CSubChoose::CSubChoose(QWidget* parent) : CWizardPage(175, "ChoosePage", parent) {
    QButtonGroup* envGroup = AddRadioGroup();
    QButtonGroup* linkGroup = AddRadioGroup();
    AddStatic(1273, Dlu(30, 30, 340, 40), QStringLiteral("Do you want to add a new camera to this environment? \n\nOr if you want to join an old camera to the new connection environment"));
    AddRadio(1216, Dlu(40, 76, 100, 12), QStringLiteral("Yes"), envGroup);
    AddRadio(1218, Dlu(60, 94, 100, 12), QStringLiteral("LAN"), linkGroup);
    AddRadio(1219, Dlu(60, 110, 100, 12), QStringLiteral("Wireless"), linkGroup);
    AddRadio(1220, Dlu(60, 126, 100, 12), QStringLiteral("PPPoE"), linkGroup);
    AddRadio(1217, Dlu(40, 150, 100, 12), QStringLiteral("No"), envGroup);
    AddStatic(1274, Dlu(60, 166, 300, 30), QStringLiteral("I already know how to install \nand I want to use manual setup, skip Photo caption"));
    {
        QPushButton* b = AddButton(1, Dlu(150, 220, 40, 14), QStringLiteral("OK"));
        b->hide();
    }
    {
        QPushButton* b = AddButton(2, Dlu(200, 220, 40, 14), QStringLiteral("Cancel"));
        b->hide();
    }
    connect(AddBackButton(1213, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubChoose::OnBack);
    connect(AddNextButton(1214, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubChoose::OnNext);
}

void CSubChoose::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1273), lang, "Note1", 260);
    SetCaption(Control(1216), lang, "RadioYes", 260);
    SetCaption(Control(1217), lang, "RadioNo", 260);
    SetCaption(Control(1218), lang, "RadioLan", 260);
    SetCaption(Control(1219), lang, "RadioWireless", 260);
    SetCaption(Control(1220), lang, "RadioPPPoE", 260);
    SetCaption(Control(1274), lang, "Note2", 260);
}

void CSubChoose::OnBack() {}
void CSubChoose::OnNext() {}

}  // namespace orvanta

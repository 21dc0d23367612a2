#include "gui/pages/CSubWizardIP.h"

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

CSubWizardIP::CSubWizardIP(QWidget* parent) : CWizardPage(179, "WizardIPPage", parent) {
    QButtonGroup* modeGroup = AddRadioGroup();
    AddRadio(1234, Dlu(30, 36, 200, 12), QStringLiteral("DHCP  IP Address"), modeGroup);
    AddRadio(1236, Dlu(30, 54, 200, 12), QStringLiteral("Fixed IP"), modeGroup);
    AddStatic(1278, Dlu(40, 74, 100, 10), QStringLiteral("IP Address"));
    AddAddress(1227, Dlu(150, 72, 120, 13));
    AddStatic(1279, Dlu(40, 94, 100, 10), QStringLiteral("Subnet Mask"));
    AddAddress(1228, Dlu(150, 92, 120, 13));
    AddStatic(1280, Dlu(40, 114, 100, 10), QStringLiteral("Gateway"));
    AddAddress(1229, Dlu(150, 112, 120, 13));
    AddStatic(1281, Dlu(40, 134, 100, 10), QStringLiteral("DNS"));
    AddAddress(1233, Dlu(150, 132, 120, 13));
    {
        QPushButton* b = AddButton(1230, Dlu(40, 160, 120, 20), QStringLiteral("Test this IP address "));
        (void)b;
    }
    AddStatic(1282, Dlu(170, 158, 210, 60), QStringLiteral(""));
    AddStepTitle(1351, "TitleWizardIP", 1024, QStringLiteral(""));
    connect(AddBackButton(1231, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubWizardIP::OnBack);
    connect(AddNextButton(1232, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubWizardIP::OnNext);
}

void CSubWizardIP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1234), lang, "RadioDHCP", 260);
    SetCaption(Control(1236), lang, "RadioFixIP", 260);
    SetCaption(Control(1278), lang, "IP", 260);
    SetCaption(Control(1279), lang, "Submask", 260);
    SetCaption(Control(1280), lang, "Gateway", 260);
    SetCaption(Control(1281), lang, "DNS", 260);
    SetCaption(Control(1230), lang, "BtnSendARP", 1024);
    SetCaption(Control(1282), lang, "Note1", 1024);
    KeepText(lang, "Message1", 2048);
    KeepText(lang, "Message2", 2048);
    KeepText(lang, "Message3", 2048);
}

void CSubWizardIP::OnBack() {}
void CSubWizardIP::OnNext() {}

}  // namespace orvanta

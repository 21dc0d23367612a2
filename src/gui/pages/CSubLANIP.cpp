#include "gui/pages/CSubLANIP.h"

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

CSubLANIP::CSubLANIP(QWidget* parent) : CWizardPage(144, "LANPage", parent) {
    QButtonGroup* modeGroup = AddRadioGroup();
    AddRadio(1097, Dlu(30, 40, 250, 12), QStringLiteral("Get DHCP IP "), modeGroup);
    AddRadio(1098, Dlu(30, 58, 250, 12), QStringLiteral("Use fixed IP address"), modeGroup);
    AddGroupBox(0, Dlu(20, 76, 350, 120), QStringLiteral(""));
    AddStatic(1309, Dlu(40, 92, 100, 10), QStringLiteral("IP Address"));
    AddAddress(1014, Dlu(150, 90, 120, 13));
    AddStatic(1310, Dlu(40, 112, 100, 10), QStringLiteral("Subnet Mask"));
    AddAddress(1015, Dlu(150, 110, 120, 13));
    AddStatic(1311, Dlu(40, 132, 100, 10), QStringLiteral("Gateway"));
    AddAddress(1016, Dlu(150, 130, 120, 13));
    AddStatic(1312, Dlu(40, 152, 100, 10), QStringLiteral("DNS"));
    AddAddress(1017, Dlu(150, 150, 120, 13));
    AddStatic(1313, Dlu(40, 172, 100, 10), QStringLiteral("DNS2"));
    AddAddress(1018, Dlu(150, 170, 120, 13));
    AddStepTitle(1240, "TitleLAN", 1024, QStringLiteral(""));
    connect(AddBackButton(1040, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubLANIP::OnBack);
    connect(AddNextButton(1004, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubLANIP::OnNext);
}

void CSubLANIP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1097), lang, "RadioDHCP", 260);
    SetCaption(Control(1098), lang, "RadioFixIP", 260);
    SetCaption(Control(1309), lang, "IP", 260);
    SetCaption(Control(1310), lang, "Submask", 260);
    SetCaption(Control(1311), lang, "Gateway", 260);
    SetCaption(Control(1312), lang, "DNS", 260);
    SetCaption(Control(1313), lang, "DNS2", 260);
    KeepText(lang, "Message1", 260);
}

void CSubLANIP::OnBack() {}
void CSubLANIP::OnNext() {}

}  // namespace orvanta

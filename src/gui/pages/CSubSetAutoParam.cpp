#include "gui/pages/CSubSetAutoParam.h"

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

CSubSetAutoParam::CSubSetAutoParam(QWidget* parent) : CWizardPage(171, "SetAutoParamPage", parent) {
    AddGroupBox(1367, Dlu(8, 28, 185, 60), QStringLiteral("System"));
    AddStatic(1368, Dlu(14, 40, 173, 44), QStringLiteral(""));
    AddGroupBox(1363, Dlu(196, 28, 185, 60), QStringLiteral("Network"));
    AddStatic(1211, Dlu(202, 40, 173, 44), QStringLiteral(""));
    AddGroupBox(1364, Dlu(8, 92, 185, 70), QStringLiteral("Wireless"));
    AddStatic(1225, Dlu(14, 104, 173, 54), QStringLiteral(""));
    AddGroupBox(1365, Dlu(196, 92, 185, 70), QStringLiteral("UPnP"));
    AddStatic(1224, Dlu(202, 104, 173, 54), QStringLiteral(""));
    AddGroupBox(1366, Dlu(8, 166, 373, 70), QStringLiteral("DDNS"));
    AddStatic(1226, Dlu(14, 178, 361, 54), QStringLiteral(""));
    AddStepTitle(1235, nullptr, 260, QStringLiteral(""))->hide();
    connect(AddBackButton(1164, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubSetAutoParam::OnBack);
    connect(AddSaveButton(1163, QStringLiteral("Setup the Camera"), Dlu(293, 242, 96, 25)), &QAbstractButton::clicked, this, &CSubSetAutoParam::OnNext);
}

void CSubSetAutoParam::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1367), lang, "SystemInfo", 2014);
    SetCaption(Control(1363), lang, "NetworkInfo", 2014);
    SetCaption(Control(1364), lang, "WirelessInfo", 2014);
    SetCaption(Control(1365), lang, "UPnPInfo", 2014);
    SetCaption(Control(1366), lang, "DDNSInfo", 2014);
    KeepText(lang, "Message1", 2014);
    KeepText(lang, "USEWPS", 2014);
    KeepText(lang, "WPSSucces", 2014);
    KeepText(lang, "WPSFailed", 2014);
    KeepText(lang, "NotUseWireless", 2014);
    KeepText(lang, "NotSupposeWireless", 2014);
    KeepText(lang, "EnUPnP", 2014);
    KeepText(lang, "DisUPnP", 2014);
    KeepText(lang, "EnDDNS", 2014);
    KeepText(lang, "DisDDNS", 2014);
}

void CSubSetAutoParam::OnBack() {}
void CSubSetAutoParam::OnNext() {}

}  // namespace orvanta

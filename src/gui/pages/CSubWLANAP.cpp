#include "gui/pages/CSubWLANAP.h"

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

CSubWLANAP::CSubWLANAP(QWidget* parent) : CWizardPage(150, "WLANAPPage", parent) {
    QButtonGroup* keysGroup = AddRadioGroup();
    AddStatic(1319, Dlu(20, 34, 100, 10), QStringLiteral("SSID"));
    {
        QLineEdit* e = AddEdit(1134, Dlu(130, 32, 200, 13), 32);
    }
    AddStatic(1320, Dlu(20, 52, 100, 10), QStringLiteral("Wireless Mode"));
    {
        QComboBox* box = AddCombo(1133, Dlu(130, 50, 120, 60), false);
        box->addItems({QStringLiteral("Ad-Hoc"), QStringLiteral("Infrastructure")});
        box->setCurrentIndex(-1);
    }
    AddStatic(1321, Dlu(20, 70, 100, 10), QStringLiteral("Channel"));
    {
        QComboBox* box = AddCombo(1132, Dlu(130, 68, 120, 100), false);
        box->setCurrentIndex(-1);
    }
    AddStatic(1322, Dlu(20, 88, 100, 10), QStringLiteral("TX Rate"));
    {
        QComboBox* box = AddCombo(1131, Dlu(130, 86, 120, 100), false);
        box->addItems({QStringLiteral("Auto"), QStringLiteral("1M"), QStringLiteral("2M"), QStringLiteral("5.5M"), QStringLiteral("11M"), QStringLiteral("6M"), QStringLiteral("9M"), QStringLiteral("12M"), QStringLiteral("18M"), QStringLiteral("24M"), QStringLiteral("36M"), QStringLiteral("48M"), QStringLiteral("54M")});
        box->setCurrentIndex(0);
    }
    AddStatic(1323, Dlu(20, 106, 100, 10), QStringLiteral("Security"));
    {
        QComboBox* box = AddCombo(1130, Dlu(130, 104, 120, 60), false);
        box->addItems({QStringLiteral("NONE"), QStringLiteral("WEP"), QStringLiteral("WPA-PSK"), QStringLiteral("WPA2-PSK")});
        box->setCurrentIndex(0);
    }
    AddStatic(1146, Dlu(20, 128, 100, 10), QStringLiteral("Authentication"))->hide();
    {
        QComboBox* box = AddCombo(1135, Dlu(130, 126, 120, 40), false);
        box->addItems({QStringLiteral("Open"), QStringLiteral("Shared")});
        box->setCurrentIndex(0);
    }
    AddStatic(1148, Dlu(20, 146, 100, 10), QStringLiteral("Key Length"))->hide();
    {
        QComboBox* box = AddCombo(1136, Dlu(130, 144, 120, 40), false);
        box->addItems({QStringLiteral("64 bits"), QStringLiteral("128 bits")});
        box->setCurrentIndex(0);
    }
    AddStatic(1147, Dlu(20, 164, 100, 10), QStringLiteral("Key Format"))->hide();
    {
        QComboBox* box = AddCombo(1137, Dlu(130, 162, 120, 40), false);
        box->addItems({QStringLiteral("HEX"), QStringLiteral("ASCII")});
        box->setCurrentIndex(1);
    }
    AddStatic(1149, Dlu(20, 182, 100, 10), QStringLiteral("Default Key"))->hide();
    {
        QComboBox* box = AddCombo(1325, Dlu(130, 180, 60, 60), true);
        box->addItems({QStringLiteral("Key1"), QStringLiteral("Key2"), QStringLiteral("Key3"), QStringLiteral("Key4")});
        box->setCurrentIndex(-1);
    }
    {
        QLineEdit* e = AddEdit(1142, Dlu(200, 180, 170, 13), 0);
    }
    {
        QLineEdit* e = AddEdit(1143, Dlu(200, 196, 170, 13), 0);
        e->hide();
    }
    {
        QLineEdit* e = AddEdit(1144, Dlu(200, 196, 170, 13), 0);
        e->hide();
    }
    {
        QLineEdit* e = AddEdit(1145, Dlu(200, 196, 170, 13), 0);
        e->hide();
    }
    AddRadio(1138, Dlu(20, 200, 40, 10), QStringLiteral("Key 1"), keysGroup)->hide();
    AddRadio(1139, Dlu(60, 200, 40, 10), QStringLiteral("Key 2"), keysGroup)->hide();
    AddRadio(1140, Dlu(100, 200, 40, 10), QStringLiteral("Key 3"), keysGroup)->hide();
    AddRadio(1141, Dlu(140, 200, 40, 10), QStringLiteral("Key 4"), keysGroup)->hide();
    AddStatic(1151, Dlu(20, 128, 100, 10), QStringLiteral("WPA Algorithm"))->hide();
    {
        QComboBox* box = AddCombo(1152, Dlu(130, 126, 120, 40), false);
        box->addItems({QStringLiteral("AES"), QStringLiteral("TKIP")});
        box->setCurrentIndex(0);
    }
    AddStatic(1154, Dlu(20, 146, 100, 10), QStringLiteral("Pre-shared Key"))->hide();
    {
        QLineEdit* e = AddEdit(1153, Dlu(130, 144, 240, 13), 58);
    }
    AddStepTitle(1352, "TitleWireless", 1024, QStringLiteral(""));
    connect(AddBackButton(1061, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubWLANAP::OnBack);
    connect(AddNextButton(1062, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubWLANAP::OnNext);
}

void CSubWLANAP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1319), lang, "SSID", 260);
    SetCaption(Control(1320), lang, "WirelessMode", 260);
    SetCaption(Control(1321), lang, "Channel", 260);
    SetCaption(Control(1322), lang, "TxRate", 260);
    SetCaption(Control(1323), lang, "Security", 260);
    SetCaption(Control(1148), lang, "WEPKeyLength", 260);
    SetCaption(Control(1146), lang, "WEPMode", 260);
    SetCaption(Control(1147), lang, "WEPKeyFormat", 260);
    SetCaption(Control(1149), lang, "WEPDefKey", 260);
    SetCaption(Control(1151), lang, "WPAAlgorithm", 260);
    SetCaption(Control(1154), lang, "WPAKey", 260);
    KeepText(lang, "Message1", 260);
}

void CSubWLANAP::OnBack() {}
void CSubWLANAP::OnNext() {}

}  // namespace orvanta

#include "gui/pages/CSubAPScan.h"

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

CSubAPScan::CSubAPScan(QWidget* parent) : CWizardPage(173, "ApscanPage", parent) {
    {
        QLabel* label = AddStatic(0, Dlu(20, 34, 100, 10), QStringLiteral("AP"));
        label->setObjectName(QStringLiteral("label.AP"));
    }
    {
        QComboBox* box = AddCombo(1167, Dlu(130, 32, 120, 100), false);
        box->setCurrentIndex(-1);
    }
    {
        QLabel* label = AddStatic(0, Dlu(20, 50, 100, 10), QStringLiteral("MAC"));
        label->setObjectName(QStringLiteral("label.APMAC"));
    }
    {
        QLineEdit* e = AddEdit(1195, Dlu(130, 48, 120, 13), 0);
        e->setReadOnly(true);
    }
    {
        QLabel* label = AddStatic(0, Dlu(20, 66, 100, 10), QStringLiteral("SSID"));
        label->setObjectName(QStringLiteral("label.SSID"));
    }
    {
        QLineEdit* e = AddEdit(1196, Dlu(130, 64, 240, 13), 0);
        e->setReadOnly(true);
    }
    {
        QLabel* label = AddStatic(0, Dlu(20, 82, 100, 10), QStringLiteral("Mode"));
        label->setObjectName(QStringLiteral("label.WirelessMode"));
    }
    {
        QLineEdit* e = AddEdit(1169, Dlu(130, 80, 120, 13), 0);
        e->setReadOnly(true);
    }
    {
        QLabel* label = AddStatic(0, Dlu(20, 98, 100, 10), QStringLiteral("Channel"));
        label->setObjectName(QStringLiteral("label.Channel"));
    }
    {
        QLineEdit* e = AddEdit(1168, Dlu(130, 96, 60, 13), 0);
        e->setReadOnly(true);
    }
    {
        QLabel* label = AddStatic(0, Dlu(200, 98, 70, 10), QStringLiteral("Quality"));
        label->setObjectName(QStringLiteral("label.Quality"));
    }
    {
        QLineEdit* e = AddEdit(1170, Dlu(270, 96, 60, 13), 0);
        e->setReadOnly(true);
    }
    {
        QLabel* label = AddStatic(0, Dlu(20, 114, 100, 10), QStringLiteral("Security"));
        label->setObjectName(QStringLiteral("label.Security"));
    }
    {
        QLineEdit* e = AddEdit(1172, Dlu(130, 112, 120, 13), 0);
        e->setReadOnly(true);
    }
    {
        QLabel* label = AddStatic(0, Dlu(20, 130, 100, 10), QStringLiteral("WPA Algorithm"));
        label->setObjectName(QStringLiteral("label.WPAAlgorithm"));
    }
    {
        QLineEdit* e = AddEdit(1173, Dlu(130, 128, 120, 13), 0);
        e->setReadOnly(true);
    }
    {
        QLabel* label = AddStatic(0, Dlu(20, 150, 100, 10), QStringLiteral("Authentication"));
        label->setObjectName(QStringLiteral("label.WEPMode"));
    }
    {
        QComboBox* box = AddCombo(1206, Dlu(130, 148, 80, 40), false);
        box->addItems({QStringLiteral("Open"), QStringLiteral("Shared")});
        box->setCurrentIndex(0);
    }
    {
        QLabel* label = AddStatic(0, Dlu(220, 150, 70, 10), QStringLiteral("Key Format"));
        label->setObjectName(QStringLiteral("label.WEPKeyFormat"));
    }
    {
        QComboBox* box = AddCombo(1207, Dlu(290, 148, 80, 40), false);
        box->addItems({QStringLiteral("HEX"), QStringLiteral("ASCII")});
        box->setCurrentIndex(1);
    }
    {
        QLabel* label = AddStatic(0, Dlu(20, 166, 100, 10), QStringLiteral("Key Length"));
        label->setObjectName(QStringLiteral("label.WEPKeyLength"));
    }
    {
        QComboBox* box = AddCombo(1208, Dlu(130, 164, 80, 40), false);
        box->addItems({QStringLiteral("64"), QStringLiteral("128")});
        box->setCurrentIndex(0);
    }
    {
        QLabel* label = AddStatic(0, Dlu(220, 166, 70, 10), QStringLiteral("Default Key"));
        label->setObjectName(QStringLiteral("label.WEPDefKey"));
    }
    {
        QComboBox* box = AddCombo(1209, Dlu(290, 164, 80, 60), false);
        box->addItems({QStringLiteral("Key 1"), QStringLiteral("Key 2"), QStringLiteral("Key 3"), QStringLiteral("Key 4")});
        box->setCurrentIndex(0);
    }
    {
        QLineEdit* e = AddEdit(1210, Dlu(130, 182, 240, 13), 0);
    }
    {
        QLabel* label = AddStatic(0, Dlu(20, 202, 100, 10), QStringLiteral("Pre-shared Key"));
        label->setObjectName(QStringLiteral("label.WPAKey"));
    }
    {
        QLineEdit* e = AddEdit(1199, Dlu(130, 200, 240, 13), 58);
    }
    AddStepTitle(1238, "TitleWireless", 1024, QStringLiteral(""));
    connect(AddBackButton(1166, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubAPScan::OnBack);
    connect(AddNextButton(1165, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubAPScan::OnNext);
}

void CSubAPScan::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetControlText(findChild<QWidget*>(QStringLiteral("label.AP")), Text(lang, "AP", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.APMAC")), Text(lang, "APMAC", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.SSID")), Text(lang, "SSID", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.WirelessMode")), Text(lang, "WirelessMode", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.Channel")), Text(lang, "Channel", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.Quality")), Text(lang, "Quality", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.Security")), Text(lang, "Security", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.WPAAlgorithm")), Text(lang, "WPAAlgorithm", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.WEPMode")), Text(lang, "WEPMode", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.WEPKeyFormat")), Text(lang, "WEPKeyFormat", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.WEPKeyLength")), Text(lang, "WEPKeyLength", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.WEPDefKey")), Text(lang, "WEPDefKey", 260));
    SetControlText(findChild<QWidget*>(QStringLiteral("label.WPAKey")), Text(lang, "WPAKey", 260));
    KeepText(lang, "Message1", 1024);
    KeepText(lang, "Message2", 1024);
    KeepText(lang, "Message3", 1024);
    KeepText(lang, "Message4", 1024);
}

void CSubAPScan::OnBack() {}
void CSubAPScan::OnNext() {}

}  // namespace orvanta

#include "gui/pages/CSubSystem.h"

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

CSubSystem::CSubSystem(QWidget* parent) : CWizardPage(166, "SystemPage", parent) {
    QButtonGroup* timeGroup = AddRadioGroup();
    AddStatic(1326, Dlu(20, 34, 100, 10), QStringLiteral("Host Name"));
    {
        QLineEdit* e = AddEdit(1119, Dlu(130, 32, 200, 13), 32);
    }
    AddStatic(1327, Dlu(20, 52, 100, 10), QStringLiteral("Description"));
    {
        QLineEdit* e = AddEdit(1120, Dlu(130, 50, 200, 13), 32);
    }
    AddRadio(1176, Dlu(20, 74, 250, 12), QStringLiteral("Keep current date and time "), timeGroup);
    AddRadio(1177, Dlu(20, 90, 250, 12), QStringLiteral("Sync with computer time "), timeGroup);
    AddRadio(1178, Dlu(20, 106, 250, 12), QStringLiteral("Manual"), timeGroup);
    AddStatic(1328, Dlu(40, 124, 60, 10), QStringLiteral("Date"));
    {
        QLineEdit* e = AddEdit(1128, Dlu(100, 122, 90, 13), 0);
        e->setPlaceholderText(QStringLiteral("[yyyy/mm/dd]"));
    }
    AddStatic(1329, Dlu(200, 124, 60, 10), QStringLiteral("Time"));
    {
        QLineEdit* e = AddEdit(1129, Dlu(260, 122, 90, 13), 0);
        e->setPlaceholderText(QStringLiteral("[hh:mm:ss]"));
    }
    AddRadio(1179, Dlu(20, 142, 250, 12), QStringLiteral("Automatic"), timeGroup);
    AddStatic(1330, Dlu(40, 160, 80, 10), QStringLiteral("NTP Server"));
    {
        QLineEdit* e = AddEdit(1023, Dlu(130, 158, 220, 13), 256);
    }
    AddStatic(1369, Dlu(40, 178, 80, 10), QStringLiteral("Time Zone"));
    {
        QComboBox* box = AddCombo(1027, Dlu(130, 176, 220, 120), true);
        box->addItems({QStringLiteral("(GMT-12) Eniwetok"), QStringLiteral("(GMT-11) Midway Islands, Samoa"), QStringLiteral("(GMT-10) Cook Islands,Tahiti"), QStringLiteral("(GMT-9) Alaska"), QStringLiteral("(GMT-8) PST,Pacific US"), QStringLiteral("(GMT-7) MST,Mountain US"), QStringLiteral("(GMT-6) CST,Central US"), QStringLiteral("(GMT-5) EST,Eastern US"), QStringLiteral("(GMT-4) Atlantic, Canada"), QStringLiteral("(GMT-3) Brazo;oa,Buenos Aries"), QStringLiteral("(GMT-2) Mid-Atlantic"), QStringLiteral("(GMT-1) Cape Verdes"), QStringLiteral("(GMT) Greenwich Mean Time,Greenwich"), QStringLiteral("(GMT+1) Berlin,Rome"), QStringLiteral("(GMT+2) Israel,Cairo"), QStringLiteral("(GMT+3) Moscow,Kuwait"), QStringLiteral("(GMT+4) Abu Dhabi"), QStringLiteral("(GMT+5) Islamabad,Karachi"), QStringLiteral("(GMT+6) Almaty,Dhaka"), QStringLiteral("(GMT+7) Bangkok,Jakarta"), QStringLiteral("(GMT+8) Taipei,Hongkong,Beijing"), QStringLiteral("(GMT+9) Tokyo,Osaka"), QStringLiteral("(GMT+10) Sydney,Melbourne,Guam"), QStringLiteral("(GMT+11) Magadan,soloman IS."), QStringLiteral("(GMT+12)Fiji,Wellington,Aucklan")});
        box->setCurrentIndex(-1);
    }
    AddStatic(1370, Dlu(40, 196, 80, 10), QStringLiteral("Update Interval"));
    {
        QComboBox* box = AddCombo(1026, Dlu(130, 194, 220, 120), true);
        box->setCurrentIndex(-1);
    }
    AddStepTitle(1239, "TitleSystem", 260, QStringLiteral(""));
    connect(AddBackButton(1118, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubSystem::OnBack);
    connect(AddNextButton(1117, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubSystem::OnNext);
}

void CSubSystem::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1326), lang, "Hostname", 260);
    SetCaption(Control(1327), lang, "Description", 260);
    SetCaption(Control(1176), lang, "KeepCurrentTime", 260);
    SetCaption(Control(1177), lang, "SyncComputerTime", 260);
    SetCaption(Control(1178), lang, "ManualTime", 260);
    SetCaption(Control(1329), lang, "ManualTime", 260);
    SetCaption(Control(1328), lang, "ManualTimeData", 260);
    SetCaption(Control(1179), lang, "AutomaticTime", 260);
    SetCaption(Control(1369), lang, "NTPTimeZone", 260);
    SetCaption(Control(1370), lang, "NTPTimeUpdata", 260);
    KeepText(lang, "Message1", 1024);
    KeepText(lang, "Message2", 1024);
}

void CSubSystem::OnBack() {}
void CSubSystem::OnNext() {}

}  // namespace orvanta

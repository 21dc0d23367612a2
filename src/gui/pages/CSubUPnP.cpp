#include "gui/pages/CSubUPnP.h"

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

CSubUPnP::CSubUPnP(QWidget* parent) : CWizardPage(160, "UPnPPage", parent) {
    AddCheck(1084, Dlu(30, 40, 200, 12), QStringLiteral("UPnP"));
    AddStatic(1283, Dlu(30, 64, 110, 10), QStringLiteral("HTTP Port"));
    {
        QLineEdit* e = AddEdit(1156, Dlu(150, 62, 80, 13), 5);
    }
    AddStatic(1284, Dlu(30, 84, 110, 10), QStringLiteral("Streaming Port"));
    {
        QLineEdit* e = AddEdit(1157, Dlu(150, 82, 80, 13), 5);
    }
    AddStatic(1285, Dlu(30, 104, 110, 10), QStringLiteral("RTSP Port"));
    {
        QLineEdit* e = AddEdit(1158, Dlu(150, 102, 80, 13), 5);
    }
    AddStepTitle(1350, "TitleUPnP", 1024, QStringLiteral(""));
    connect(AddBackButton(1086, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubUPnP::OnBack);
    connect(AddNextButton(1085, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubUPnP::OnNext);
}

void CSubUPnP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1084), lang, "UPnPEn", 260);
    SetCaption(Control(1283), lang, "HttpPort", 260);
    SetCaption(Control(1284), lang, "StreamPort", 260);
    SetCaption(Control(1285), lang, "RTSP", 260);
    KeepText(lang, "Message1", 2048);
    KeepText(lang, "Message2", 2048);
    KeepText(lang, "Message3", 2048);
    KeepText(lang, "Message4", 2048);
    KeepText(lang, "Message5", 2048);
    KeepText(lang, "Message6", 2048);
}

void CSubUPnP::OnBack() {}
void CSubUPnP::OnNext() {}

}  // namespace orvanta

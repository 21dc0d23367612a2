#include "gui/pages/CSubSearchNet.h"

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

CSubSearchNet::CSubSearchNet(QWidget* parent) : CWizardPage(139, "SearchPage", parent) {
    AddStatic(1346, Dlu(8, 30, 200, 10), QStringLiteral("Camera  List"));
    {
        QTreeWidget* list = AddList(1011, Dlu(8, 42, 373, 130), {QStringLiteral("IP"), QStringLiteral("MAC"), QStringLiteral("PORT"), QStringLiteral("DESC / INTERFACE"), QStringLiteral("SPORT"), QStringLiteral("SERIAL NO."), QStringLiteral("SUBMASK.")});
        list->setColumnWidth(0, 120);
        list->setColumnWidth(1, 120);
        list->setColumnWidth(2, 60);
        list->setColumnWidth(3, 150);
        list->setColumnWidth(4, 60);
        list->setColumnHidden(5, true);
        list->setColumnWidth(6, 120);
    }
    {
        QPushButton* b = AddButton(1088, Dlu(8, 178, 90, 22), QStringLiteral("Start  Search"));
        (void)b;
    }
    AddStatic(1175, Dlu(106, 178, 275, 60), QStringLiteral(""));
    AddStepTitle(1237, nullptr, 260, QStringLiteral("STEP \nFind The Camera"));
    connect(AddBackButton(1037, QStringLiteral("Exit")), &QAbstractButton::clicked, this, &CSubSearchNet::OnBack);
    connect(AddNextButton(1110, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubSearchNet::OnNext);
}

void CSubSearchNet::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1175), lang, "Note", 8072);
    SetCaption(Control(1346), lang, "CamList", 260);
    KeepText(lang, "BtnStrartFind", 260);
    KeepText(lang, "BtnFindingCam", 260);
    KeepText(lang, "BtnStopFind", 260);
    KeepText(lang, "Message1", 260);
    KeepText(lang, "Message2", 260);
    KeepText(lang, "CamListMAC", 260);
    KeepText(lang, "CamListIP", 260);
    KeepText(lang, "CamListPort", 260);
    KeepText(lang, "CamListDese", 260);
    KeepText(lang, "CamListCamID", 260);
    KeepText(lang, "CamListSport", 260);
}

void CSubSearchNet::OnBack() {}
void CSubSearchNet::OnNext() {}

}  // namespace orvanta

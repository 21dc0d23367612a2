#include "gui/pages/CSubLinkSer.h"

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

CSubLinkSer::CSubLinkSer(QWidget* parent) : CWizardPage(140, "ServerPage", parent) {
    AddStatic(1347, Dlu(8, 30, 200, 10), QStringLiteral("Camera List "));
    {
        QTreeWidget* list = AddList(1271, Dlu(8, 42, 373, 190), {QStringLiteral("IP"), QStringLiteral("ID"), QStringLiteral("Port"), QStringLiteral("Model"), QStringLiteral("Mac Address")});
        list->setColumnWidth(0, 120);
        list->setColumnWidth(1, 120);
        list->setColumnWidth(2, 80);
        list->setColumnWidth(3, 120);
        list->setColumnWidth(4, 120);
    }
    AddStepTitle(1357, "TitleServer", 260, QStringLiteral("The camera on the Server"));
    connect(AddBackButton(1007, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubLinkSer::OnBack);
    connect(AddFinishButton(1000, QStringLiteral("Finish")), &QAbstractButton::clicked, this, &CSubLinkSer::OnNext);
}

void CSubLinkSer::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1347), lang, "CamList", 260);
    KeepText(lang, "CamListMAC", 260);
    KeepText(lang, "CamListIP", 260);
    KeepText(lang, "CamListPort", 260);
    KeepText(lang, "CamListDese", 260);
    KeepText(lang, "CamListCamID", 260);
    KeepText(lang, "CamListSport", 260);
}

void CSubLinkSer::TakeEntries(const CSubLogin& /*login*/) {}

void CSubLinkSer::OnBack() {}
void CSubLinkSer::OnNext() {}

}  // namespace orvanta

#include "gui/pages/CSubWPS.h"

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

CSubWPS::CSubWPS(QWidget* parent) : CWizardPage(174, "WPSPage", parent) {
    AddPicture(0, Dlu(8, 30, 330, 150), 216);
    AddStatic(1305, Dlu(20, 186, 350, 30), QStringLiteral(""));
    {
        auto* bar = new QProgressBar(this);
        bar->setGeometry(Dlu(20, 220, 250, 12));
        bar->setRange(0, 1500);
        bar->setValue(0);
        Name(bar, 1212, QStringLiteral("Progress"));
    }
    {
        QPushButton* b = AddButton(1215, Dlu(280, 216, 90, 20), QStringLiteral("WPS Start"));
        (void)b;
    }
    AddStepTitle(1354, "TitleWPS", 1024, QStringLiteral(""));
    connect(AddBackButton(1213, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubWPS::OnBack);
    connect(AddNextButton(1214, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubWPS::OnNext);
}

void CSubWPS::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1305), lang, "Note", 1024);
    KeepText(lang, "Message1", 2048);
    KeepText(lang, "Message2", 2048);
    KeepText(lang, "Message3", 2048);
    KeepText(lang, "Message4", 2048);
}

void CSubWPS::OnBack() {}
void CSubWPS::OnNext() {}

}  // namespace orvanta

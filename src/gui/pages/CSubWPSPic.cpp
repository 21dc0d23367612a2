#include "gui/pages/CSubWPSPic.h"

#include <QLabel>

#include "gui/controls/CPictureFrame.h"

namespace orvanta {

CSubWPSPic::CSubWPSPic(QWidget* parent) : CWizardPage(176, "WPSPicPage", parent) {
    AddPicture(0, Dlu(8, 30, 185, 205), 209);
    AddStatic(1302, Dlu(200, 40, 180, 60), QString());
    AddStatic(1303, Dlu(200, 110, 180, 60), QString())->hide();
    AddStatic(1304, Dlu(200, 110, 180, 60), QString());
    AddStepTitle(1355, "TitleWPS", 1024, QString());
    connect(AddBackButton(1213, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubWPSPic::OnBack);
    connect(AddNextButton(1214, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubWPSPic::OnNext);
}

void CSubWPSPic::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1302), lang, "Note1", 260);
    SetCaption(Control(1304), lang, "Note2", 260);
    KeepText(lang, "Message1", 2048);
}

void CSubWPSPic::OnBack() { PostCommand(cmd::kQuickIpPage); }
void CSubWPSPic::OnNext() { PostCommand(cmd::kWpsPage); }

}  // namespace orvanta

#include "gui/pages/WpsPicturePage.h"

#include <QLabel>

namespace orvanta {

WpsPicturePage::WpsPicturePage(QWidget* parent) : WizardPage(176, "WPSPicPage", parent) {
    AddPicture(0, Dlu(8, 30, 185, 205), 209);
    QLabel* routerStep = AddStatic(kRouterStep, Dlu(200, 40, 180, 60), QString());
    AddStatic(kSpareStep, Dlu(200, 110, 180, 60), QString())->hide();
    QLabel* nextStep = AddStatic(kNextStep, Dlu(200, 110, 180, 60), QString());
    AddStepTitle(kTitle, "TitleWPS", kMessageCapacity, QString());

    Captions({{routerStep, "Note1"}, {nextStep, "Note2"}});
    KeptTexts({{"Message1", 2048}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &WpsPicturePage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &WpsPicturePage::OnNext);
}

void WpsPicturePage::OnBack() { PostCommand(WizardCommand::ShowQuickAddressPage); }
void WpsPicturePage::OnNext() { PostCommand(WizardCommand::ShowWpsPage); }

}  // namespace orvanta

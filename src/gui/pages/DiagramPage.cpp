#include "gui/pages/DiagramPage.h"

#include <QLabel>

#include "gui/controls/PictureFrame.h"

namespace orvanta {

DiagramPage::DiagramPage(QWidget* parent) : WizardPage(137, "ShowPicPage", parent) {
    diagram_ = AddPicture(kDiagram, Dlu(8, 8, 300, 225), 224);
    QLabel* note = AddStatic(kNote, Dlu(312, 20, 75, 200), QStringLiteral("please connect the camera as the diagram ,and wait until the network LED flashes. If network LED flashes,please press the \"Next\" button."));
    Captions({{note, "note", kMessageCapacity}});
    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &DiagramPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &DiagramPage::OnNext);
}

void DiagramPage::LoadFromSettings() {
    // A PPPoE link keeps whatever diagram is up: the cable/DSL router one
    // from the start, or the last LAN or wireless one.
    const CameraSettings& s = Settings();
    if (s.LinkPPPoE == 1) return;
    diagram_->SetPicture(s.LinkWireless == 1 ? 228 : 227);
}

void DiagramPage::OnBack() { PostCommand(WizardCommand::ShowSetupChoicePage); }
void DiagramPage::OnNext() { PostCommand(WizardCommand::ShowSearchPage); }

}  // namespace orvanta

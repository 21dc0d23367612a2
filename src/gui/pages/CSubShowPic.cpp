#include "gui/pages/CSubShowPic.h"

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

CSubShowPic::CSubShowPic(QWidget* parent) : CWizardPage(137, "ShowPicPage", parent) {
    AddPicture(1267, Dlu(8, 8, 300, 225), 224);
    AddStatic(1263, Dlu(312, 20, 75, 200), QStringLiteral("please connect the camera as the diagram ,and wait until the network LED flashes. If network LED flashes,please press the \"Next\" button."));
    connect(AddBackButton(1044, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubShowPic::OnBack);
    connect(AddNextButton(1045, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubShowPic::OnNext);
}

void CSubShowPic::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1263), lang, "note", 1024);
}

void CSubShowPic::LoadFromSettings() {
    // A PPPoE link keeps whatever diagram is up: the cable/DSL router one
    // from the start, or the last LAN or wireless one.
    const CameraSettings& s = Settings();
    if (s.LinkPPPoE == 1) return;
    if (auto* frame = Control<CPictureFrame>(1267)) frame->SetPicture(s.LinkWireless == 1 ? 228 : 227);
}

void CSubShowPic::OnBack() { PostCommand(cmd::kChoosePage); }
void CSubShowPic::OnNext() { PostCommand(cmd::kSearchPage); }

}  // namespace orvanta

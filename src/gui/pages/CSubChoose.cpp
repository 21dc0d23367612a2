#include "gui/pages/CSubChoose.h"

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

CSubChoose::CSubChoose(QWidget* parent) : CWizardPage(175, "ChoosePage", parent) {
    QButtonGroup* envGroup = AddRadioGroup();
    QButtonGroup* linkGroup = AddRadioGroup();
    AddStatic(1273, Dlu(30, 30, 340, 40), QStringLiteral("Do you want to add a new camera to this environment? \n\nOr if you want to join an old camera to the new connection environment"));
    AddRadio(1216, Dlu(40, 76, 100, 12), QStringLiteral("Yes"), envGroup);
    AddRadio(1218, Dlu(60, 94, 100, 12), QStringLiteral("LAN"), linkGroup);
    AddRadio(1219, Dlu(60, 110, 100, 12), QStringLiteral("Wireless"), linkGroup);
    AddRadio(1220, Dlu(60, 126, 100, 12), QStringLiteral("PPPoE"), linkGroup);
    AddRadio(1217, Dlu(40, 150, 100, 12), QStringLiteral("No"), envGroup);
    AddStatic(1274, Dlu(60, 166, 300, 30), QStringLiteral("I already know how to install \nand I want to use manual setup, skip Photo caption"));
    {
        QPushButton* b = AddButton(1, Dlu(150, 220, 40, 14), QStringLiteral("OK"));
        b->hide();
    }
    {
        QPushButton* b = AddButton(2, Dlu(200, 220, 40, 14), QStringLiteral("Cancel"));
        b->hide();
    }
    WhenChecked(Control<QRadioButton>(1216), [this] { OnYes(); });
    WhenChecked(Control<QRadioButton>(1217), [this] { OnNo(); });
    connect(AddBackButton(1213, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubChoose::OnBack);
    connect(AddNextButton(1214, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubChoose::OnNext);
}

void CSubChoose::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1273), lang, "Note1", 260);
    SetCaption(Control(1216), lang, "RadioYes", 260);
    SetCaption(Control(1217), lang, "RadioNo", 260);
    SetCaption(Control(1218), lang, "RadioLan", 260);
    SetCaption(Control(1219), lang, "RadioWireless", 260);
    SetCaption(Control(1220), lang, "RadioPPPoE", 260);
    SetCaption(Control(1274), lang, "Note2", 260);
}

void CSubChoose::OnInitPage() {
    const QuietLoad quiet(this);
    SetChecked(Control<QRadioButton>(1216), true);
    SetChecked(Control<QRadioButton>(1217), false);
    for (const int id : {1218, 1219, 1220}) SetChecked(Control<QRadioButton>(id), false);
}

void CSubChoose::LoadFromSettings() {
    // The default link follows the PC's own: a dial-up PC suggests PPPoE, a
    // PC on a LAN or wireless adapter suggests LAN. Nothing is re-enabled
    // here; "Yes" does that.
    const QuietLoad quiet(this);
    const CameraSettings& s = Settings();
    auto* lan = Control<QRadioButton>(1218);
    auto* wireless = Control<QRadioButton>(1219);
    auto* pppoe = Control<QRadioButton>(1220);
    const bool adapter = s.HostAdapterFound == 1;
    const bool dialUp = s.HostDialUp == 1;
    if (adapter && dialUp) {
        SetChecked(pppoe, true);
        SetChecked(lan, false);
        SetChecked(wireless, false);
        wireless->setEnabled(false);
    } else if (!adapter && dialUp) {
        SetChecked(pppoe, true);
        SetChecked(lan, false);
        SetChecked(wireless, false);
        lan->setEnabled(false);
        wireless->setEnabled(false);
    } else if (adapter && !dialUp) {
        SetChecked(pppoe, false);
        pppoe->setEnabled(false);
        SetChecked(lan, true);
        SetChecked(wireless, false);
    } else {
        SetChecked(pppoe, false);
        SetChecked(lan, true);
        SetChecked(wireless, false);
    }
}

void CSubChoose::OnNo() { SetEnabledAll({Control(1218), Control(1219), Control(1220)}, false); }

void CSubChoose::OnYes() {
    const CameraSettings& s = Settings();
    auto* lan = Control<QRadioButton>(1218);
    auto* wireless = Control<QRadioButton>(1219);
    auto* pppoe = Control<QRadioButton>(1220);
    SetEnabledAll({lan, wireless, pppoe}, true);
    const bool adapter = s.HostAdapterFound == 1;
    const bool dialUp = s.HostDialUp == 1;
    if (adapter && dialUp) {
        SetChecked(pppoe, true);
        SetChecked(lan, false);
        SetChecked(wireless, false);
        wireless->setEnabled(false);
    } else if (adapter) {
        // A wireless link chosen on an earlier pass is offered again.
        SetChecked(pppoe, false);
        pppoe->setEnabled(false);
        const bool wasWireless = s.LinkWireless == 1;
        SetChecked(wireless, wasWireless);
        SetChecked(lan, !wasWireless);
    } else {
        SetChecked(pppoe, false);
        SetChecked(lan, true);
        SetChecked(wireless, false);
    }
}

void CSubChoose::OnBack() { PostCommand(cmd::kFirstPage); }

void CSubChoose::OnNext() {
    CameraSettings& s = Settings();
    if (!Control<QRadioButton>(1216)->isChecked()) {
        s.NewEnvironment = 0;
        s.WizardMode = 0;
        PostCommand(cmd::kSearchPage);
        return;
    }
    s.NewEnvironment = 1;
    // The first checked link in the order LAN, PPPoE, Wireless decides.
    if (Control<QRadioButton>(1218)->isChecked()) {
        s.LinkPPPoE = 0;
        s.LinkWireless = 0;
        s.UseWPS = 0;
    } else if (Control<QRadioButton>(1220)->isChecked()) {
        s.LinkPPPoE = 1;
    } else if (Control<QRadioButton>(1219)->isChecked()) {
        s.LinkWireless = 1;
        s.LinkPPPoE = 0;
    }
    PostCommand(cmd::kDiagramPage);
}

}  // namespace orvanta

#include "gui/pages/SetupChoicePage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace orvanta {

SetupChoicePage::SetupChoicePage(QWidget* parent) : WizardPage(175, "ChoosePage", parent) {
    QButtonGroup* envGroup = AddRadioGroup();
    QButtonGroup* linkGroup = AddRadioGroup();
    QLabel* question = AddStatic(kQuestion, Dlu(30, 30, 340, 40), QStringLiteral("Do you want to add a new camera to this environment? \n\nOr if you want to join an old camera to the new connection environment"));
    yes_ = AddRadio(kYesRadio, Dlu(40, 76, 100, 12), QStringLiteral("Yes"), envGroup);
    lan_ = AddRadio(kLanRadio, Dlu(60, 94, 100, 12), QStringLiteral("LAN"), linkGroup);
    wireless_ = AddRadio(kWirelessRadio, Dlu(60, 110, 100, 12), QStringLiteral("Wireless"), linkGroup);
    pppoe_ = AddRadio(kPppoeRadio, Dlu(60, 126, 100, 12), QStringLiteral("PPPoE"), linkGroup);
    no_ = AddRadio(kNoRadio, Dlu(40, 150, 100, 12), QStringLiteral("No"), envGroup);
    QLabel* manualNote = AddStatic(kManualNote, Dlu(60, 166, 300, 30), QStringLiteral("I already know how to install \nand I want to use manual setup, skip Photo caption"));

    Captions({{question, "Note1"},
              {yes_, "RadioYes"},
              {no_, "RadioNo"},
              {lan_, "RadioLan"},
              {wireless_, "RadioWireless"},
              {pppoe_, "RadioPPPoE"},
              {manualNote, "Note2"}});

    WhenChecked(yes_, [this] { OnYes(); });
    WhenChecked(no_, [this] { OnNo(); });
    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &SetupChoicePage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &SetupChoicePage::OnNext);
}

void SetupChoicePage::OnInitPage() {
    const QuietLoad quiet(this);
    SetChecked(yes_, true);
    SetChecked(no_, false);
    for (QRadioButton* link : {lan_, wireless_, pppoe_}) SetChecked(link, false);
}

void SetupChoicePage::LoadFromSettings() {
    // The default link follows the PC's own: a dial-up PC suggests PPPoE, a
    // PC on a LAN or wireless adapter suggests LAN. Nothing is re-enabled
    // here; "Yes" does that.
    const QuietLoad quiet(this);
    const CameraSettings& s = Settings();
    const bool adapter = s.HostAdapterFound == 1;
    const bool dialUp = s.HostDialUp == 1;
    if (adapter && dialUp) {
        SetChecked(pppoe_, true);
        SetChecked(lan_, false);
        SetChecked(wireless_, false);
        wireless_->setEnabled(false);
    } else if (!adapter && dialUp) {
        SetChecked(pppoe_, true);
        SetChecked(lan_, false);
        SetChecked(wireless_, false);
        lan_->setEnabled(false);
        wireless_->setEnabled(false);
    } else if (adapter && !dialUp) {
        SetChecked(pppoe_, false);
        pppoe_->setEnabled(false);
        SetChecked(lan_, true);
        SetChecked(wireless_, false);
    } else {
        SetChecked(pppoe_, false);
        SetChecked(lan_, true);
        SetChecked(wireless_, false);
    }
}

void SetupChoicePage::OnNo() { SetEnabledAll({lan_, wireless_, pppoe_}, false); }

void SetupChoicePage::OnYes() {
    const CameraSettings& s = Settings();
    SetEnabledAll({lan_, wireless_, pppoe_}, true);
    const bool adapter = s.HostAdapterFound == 1;
    const bool dialUp = s.HostDialUp == 1;
    if (adapter && dialUp) {
        SetChecked(pppoe_, true);
        SetChecked(lan_, false);
        SetChecked(wireless_, false);
        wireless_->setEnabled(false);
    } else if (adapter) {
        // A wireless link chosen on an earlier pass is offered again.
        SetChecked(pppoe_, false);
        pppoe_->setEnabled(false);
        const bool wasWireless = s.LinkWireless == 1;
        SetChecked(wireless_, wasWireless);
        SetChecked(lan_, !wasWireless);
    } else {
        SetChecked(pppoe_, false);
        SetChecked(lan_, true);
        SetChecked(wireless_, false);
    }
}

void SetupChoicePage::OnBack() { PostCommand(WizardCommand::StartOver); }

void SetupChoicePage::OnNext() {
    CameraSettings& s = Settings();
    if (!yes_->isChecked()) {
        s.NewEnvironment = 0;
        s.WizardMode = 0;
        PostCommand(WizardCommand::ShowSearchPage);
        return;
    }
    s.NewEnvironment = 1;
    // The first checked link in the order LAN, PPPoE, Wireless decides.
    if (lan_->isChecked()) {
        s.LinkPPPoE = 0;
        s.LinkWireless = 0;
        s.UseWPS = 0;
    } else if (pppoe_->isChecked()) {
        s.LinkPPPoE = 1;
    } else if (wireless_->isChecked()) {
        s.LinkWireless = 1;
        s.LinkPPPoE = 0;
    }
    PostCommand(WizardCommand::ShowDiagramPage);
}

}  // namespace orvanta

#include "gui/pages/OptionPage.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QLabel>
#include <QRadioButton>

namespace orvanta {

OptionPage::OptionPage(QWidget* parent) : WizardPage(130, "OptionPage", parent) {
    QButtonGroup* setupGroup = AddRadioGroup();
    wizard_ = AddRadio(kWizardRadio, Dlu(40, 50, 200, 14), QStringLiteral("Wizard  Setup"), setupGroup);
    wizardNote_ = AddStatic(kWizardNote, Dlu(56, 66, 300, 30), QStringLiteral("Wizard  will help you to setup all Camera's  Parameters  include  Network, Wireless."));
    manual_ = AddRadio(kManualRadio, Dlu(40, 110, 200, 14), QStringLiteral("Maunal Setup"), setupGroup);
    QLabel* manualNote = AddStatic(kManualNote, Dlu(56, 126, 300, 40), QStringLiteral("Users to set up the camera parameters, including IP,\n wireless base stations, wireless security,\n and DDNS."));
    AddStepTitle(kTitle, nullptr, kCaptionCapacity, QStringLiteral(""))->hide();

    Captions({{wizard_, "RadioWizard"},
              {manual_, "RadioMaunal"},
              {wizardNote_, "StaticWizard"},
              {manualNote, "StaticMaunal"}});

    // Each choice sets the mode at once.
    WhenChecked(wizard_, [this] { Settings().WizardMode = 1; });
    WhenChecked(manual_, [this] { Settings().WizardMode = 0; });
    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &OptionPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &OptionPage::OnNext);
}

void OptionPage::OnInitPage() {
    const QuietLoad quiet(this);
    SetChecked(wizard_, true);
    SetChecked(manual_, false);
}

void OptionPage::LoadFromSettings() {
    // The guided wizard needs the camera's parameters; without them only
    // manual setup is offered.
    const QuietLoad quiet(this);
    CameraSettings& s = Settings();
    const bool loaded = s.Loaded == 1;
    s.WizardMode = loaded ? 1 : 0;
    SetChecked(wizard_, loaded);
    SetChecked(manual_, !loaded);
    SetEnabledAll({wizard_, wizardNote_}, loaded);
}

void OptionPage::OnBack() { PostCommand(WizardCommand::ShowSearchPage); }

void OptionPage::OnNext() {
    CameraSettings& s = Settings();
    if (wizard_->isChecked()) {
        s.WizardMode = 1;
        // The camera's clock is set from this PC's.
        const QDateTime now = QDateTime::currentDateTime();
        SetField(s.Date, now.toString(QStringLiteral("yyyy/MM/dd")).toStdString());
        SetField(s.Time, now.toString(QStringLiteral("HH:mm:ss")).toStdString());
        if (s.LinkPPPoE == 1)
            PostCommand(WizardCommand::ShowPppoePage);
        else if (s.LinkPPPoE == 0)
            PostCommand(WizardCommand::ShowQuickAddressPage);
        return;
    }
    if (manual_->isChecked()) {
        s.WizardMode = 0;
        PostCommand(WizardCommand::ShowSystemPage);
        return;
    }
    Ask(QStringLiteral("Please chose one setup type!"), QStringLiteral("Orvanta"), PromptIcon::Information);
}

}  // namespace orvanta

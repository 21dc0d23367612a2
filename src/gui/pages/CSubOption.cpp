#include "gui/pages/CSubOption.h"

#include <QButtonGroup>
#include <QDateTime>
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

CSubOption::CSubOption(QWidget* parent) : CWizardPage(130, "OptionPage", parent) {
    QButtonGroup* setupGroup = AddRadioGroup();
    AddRadio(1068, Dlu(40, 50, 200, 14), QStringLiteral("Wizard  Setup"), setupGroup);
    AddStatic(1275, Dlu(56, 66, 300, 30), QStringLiteral("Wizard  will help you to setup all Camera's  Parameters  include  Network, Wireless."));
    AddRadio(1069, Dlu(40, 110, 200, 14), QStringLiteral("Maunal Setup"), setupGroup);
    AddStatic(1276, Dlu(56, 126, 300, 40), QStringLiteral("Users to set up the camera parameters, including IP,\n wireless base stations, wireless security,\n and DDNS."));
    AddStepTitle(1243, nullptr, 260, QStringLiteral(""))->hide();
    // Each choice sets the mode at once.
    WhenChecked(Control<QRadioButton>(1068), [this] { Settings().WizardMode = 1; });
    WhenChecked(Control<QRadioButton>(1069), [this] { Settings().WizardMode = 0; });
    connect(AddBackButton(1001, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubOption::OnBack);
    connect(AddNextButton(1034, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubOption::OnNext);
}

void CSubOption::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1068), lang, "RadioWizard", 260);
    SetCaption(Control(1069), lang, "RadioMaunal", 260);
    SetCaption(Control(1275), lang, "StaticWizard", 260);
    SetCaption(Control(1276), lang, "StaticMaunal", 260);
}

void CSubOption::OnInitPage() {
    const QuietLoad quiet(this);
    SetChecked(Control<QRadioButton>(1068), true);
    SetChecked(Control<QRadioButton>(1069), false);
}

void CSubOption::LoadFromSettings() {
    // The guided wizard needs the camera's parameters; without them only
    // manual setup is offered.
    const QuietLoad quiet(this);
    CameraSettings& s = Settings();
    const bool loaded = s.Loaded == 1;
    s.WizardMode = loaded ? 1 : 0;
    SetChecked(Control<QRadioButton>(1068), loaded);
    SetChecked(Control<QRadioButton>(1069), !loaded);
    SetEnabledAll({Control(1068), Control(1275)}, loaded);
}

void CSubOption::OnBack() { PostCommand(cmd::kSearchPage); }

void CSubOption::OnNext() {
    CameraSettings& s = Settings();
    if (Control<QRadioButton>(1068)->isChecked()) {
        s.WizardMode = 1;
        // The camera's clock is set from this PC's.
        const QDateTime now = QDateTime::currentDateTime();
        SetField(s.Date, now.toString(QStringLiteral("yyyy/MM/dd")).toStdString());
        SetField(s.Time, now.toString(QStringLiteral("HH:mm:ss")).toStdString());
        if (s.LinkPPPoE == 1)
            PostCommand(cmd::kPppoePage);
        else if (s.LinkPPPoE == 0)
            PostCommand(cmd::kQuickIpPage);
        return;
    }
    if (Control<QRadioButton>(1069)->isChecked()) {
        s.WizardMode = 0;
        PostCommand(cmd::kSystemPage);
        return;
    }
    Ask(QStringLiteral("Please chose one setup type!"), QStringLiteral("Orvanta"), mb::kIconInformation);
}

}  // namespace orvanta

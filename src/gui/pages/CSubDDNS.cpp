#include "gui/pages/CSubDDNS.h"

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
#include "gui/pages/DdnsProviders.h"
#include "gui/controls/CPictureFrame.h"

namespace orvanta {

CSubDDNS::CSubDDNS(QWidget* parent) : CWizardPage(157, "DDNSPage", parent) {
    WhenToggled(AddCheck(1054, Dlu(30, 40, 200, 12), QStringLiteral("Enable DDNS")), [this](bool) { OnEnableClicked(); });
    AddStatic(1286, Dlu(30, 64, 110, 10), QStringLiteral("Provider"));
    {
        QComboBox* box = AddCombo(1122, Dlu(150, 62, 200, 100), false);
        box->setCurrentIndex(-1);
    }
    AddStatic(1287, Dlu(30, 84, 110, 10), QStringLiteral("Host Name"));
    {
        AddEdit(1123, Dlu(150, 82, 200, 13), 127, sizeof(CameraSettings::DDNSHost));
    }
    AddStatic(1288, Dlu(30, 104, 110, 10), QStringLiteral("User Name"));
    {
        AddEdit(1124, Dlu(150, 102, 200, 13), 63, sizeof(CameraSettings::DDNSUser));
    }
    AddStatic(1289, Dlu(30, 124, 110, 10), QStringLiteral("Password"));
    {
        QLineEdit* e = AddEdit(1125, Dlu(150, 122, 200, 13), 20, sizeof(CameraSettings::DDNSPwd));
        e->setEchoMode(QLineEdit::Password);
    }
    AddStepTitle(1242, "TitleDDNS", 1024, QStringLiteral(""));
    connect(AddBackButton(1055, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubDDNS::OnBack);
    connect(AddNextButton(1056, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubDDNS::OnNext);
}

void CSubDDNS::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1054), lang, "DDNSEn", 260);
    SetCaption(Control(1286), lang, "Provider", 260);
    SetCaption(Control(1287), lang, "Hostname", 260);
    SetCaption(Control(1288), lang, "Username", 260);
    SetCaption(Control(1289), lang, "Password", 260);
    KeepText(lang, "Message1", 1024);
}

void CSubDDNS::FillProviders(bool all) {
    auto* box = Control<QComboBox>(1122);
    box->clear();
    const std::size_t n = all ? kDdnsProviderCount : 2;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view label = kDdnsProviders[i].label;
        box->addItem(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
    }
    box->setCurrentIndex(0);
}

void CSubDDNS::OnInitPage() {
    FillProviders(false);
    for (const int id : {1123, 1124, 1125}) Control<QLineEdit>(id)->clear();
}

void CSubDDNS::LoadFromSettings() {
    const QuietLoad quiet(this);
    const CameraSettings& s = Settings();
    Control<QCheckBox>(1054)->setChecked(s.DDNS == 1);
    providerText_ = FieldString(s.DDNSSrv);
    const std::string_view stored = FieldText(s.DDNSSrv);
    const bool all = ModelHasAllDdnsProviders(FieldText(s.ModelName));
    FillProviders(all);
    auto* box = Control<QComboBox>(1122);
    int index = -1;
    if (all) {
        for (std::size_t i = 0; i < kDdnsProviderCount; ++i)
            if (kDdnsProviders[i].label == stored) index = static_cast<int>(i);
    }
    if (index < 0) {
        // The two DynDNS entries are found by their server codes.
        if (kDdnsProviders[0].code == stored)
            index = 0;
        else if (kDdnsProviders[1].code == stored)
            index = 1;
    }
    if (index >= 0) box->setCurrentIndex(index);
    Control<QLineEdit>(1123)->setText(FieldString(s.DDNSHost));
    Control<QLineEdit>(1124)->setText(FieldString(s.DDNSUser));
    Control<QLineEdit>(1125)->setText(FieldString(s.DDNSPwd));
}

void CSubDDNS::OnEnableClicked() {
    // The provider list stays usable either way.
    SetEnabledAll({Control(1123), Control(1124), Control(1125)}, Control<QCheckBox>(1054)->isChecked());
}

void CSubDDNS::OnBack() { PostCommand(cmd::kUpnpPage); }

void CSubDDNS::OnNext() {
    CameraSettings& s = Settings();
    s.DDNS = Control<QCheckBox>(1054)->isChecked() ? 1 : 0;
    const int index = Control<QComboBox>(1122)->currentIndex();
    if (index >= 0 && static_cast<std::size_t>(index) < kDdnsProviderCount) {
        const std::string_view code = kDdnsProviders[index].code;
        providerText_ = QString::fromUtf8(code.data(), static_cast<qsizetype>(code.size()));
        SetField(s.DDNSSrv, code);
    }
    StoreText(s.DDNSHost, Control<QLineEdit>(1123)->text());
    StoreText(s.DDNSUser, Control<QLineEdit>(1124)->text());
    StoreText(s.DDNSPwd, Control<QLineEdit>(1125)->text());
    if (s.WizardMode == 1) {
        PostCommand(cmd::kSummaryPage);
        return;
    }
    // Manual setup has no summary: it saves straight from here, once asked.
    if (Ask(Kept("Message1"), QStringLiteral("Orvanta"), mb::kOkCancel | mb::kIconInformation) == PromptAnswer::Ok)
        PostCommand(cmd::kSaveCamera);
}

}  // namespace orvanta

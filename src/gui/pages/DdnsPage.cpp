#include "gui/pages/DdnsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "gui/pages/DdnsProviders.h"

namespace orvanta {
namespace {

// Asked before manual setup saves from this page.
constexpr const char* kAskSave = "Message1";

}  // namespace

DdnsPage::DdnsPage(QWidget* parent) : WizardPage(157, "DDNSPage", parent) {
    enable_ = AddCheck(kEnableCheck, Dlu(30, 40, 200, 12), QStringLiteral("Enable DDNS"));
    QLabel* providerLabel = AddStatic(kProviderLabel, Dlu(30, 64, 110, 10), QStringLiteral("Provider"));
    provider_ = AddCombo(kProvider, Dlu(150, 62, 200, 100), false);
    provider_->setCurrentIndex(-1);
    QLabel* hostLabel = AddStatic(kHostLabel, Dlu(30, 84, 110, 10), QStringLiteral("Host Name"));
    host_ = AddEdit(kHost, Dlu(150, 82, 200, 13), 127, sizeof(CameraSettings::DDNSHost));
    QLabel* userLabel = AddStatic(kUserLabel, Dlu(30, 104, 110, 10), QStringLiteral("User Name"));
    user_ = AddEdit(kUser, Dlu(150, 102, 200, 13), 63, sizeof(CameraSettings::DDNSUser));
    QLabel* passwordLabel = AddStatic(kPasswordLabel, Dlu(30, 124, 110, 10), QStringLiteral("Password"));
    password_ = AddEdit(kPassword, Dlu(150, 122, 200, 13), 20, sizeof(CameraSettings::DDNSPwd));
    password_->setEchoMode(QLineEdit::Password);
    AddStepTitle(kTitle, "TitleDDNS", kMessageCapacity, QStringLiteral(""));

    Captions({{enable_, "DDNSEn"},
              {providerLabel, "Provider"},
              {hostLabel, "Hostname"},
              {userLabel, "Username"},
              {passwordLabel, "Password"}});
    KeptTexts({{kAskSave, kMessageCapacity}});

    WhenToggled(enable_, [this](bool) { OnEnableClicked(); });
    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &DdnsPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &DdnsPage::OnNext);
}

void DdnsPage::FillProviders(bool all) {
    provider_->clear();
    const std::size_t n = all ? kDdnsProviderCount : 2;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view label = kDdnsProviders[i].label;
        provider_->addItem(QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())));
    }
    provider_->setCurrentIndex(0);
}

void DdnsPage::OnInitPage() {
    FillProviders(false);
    for (QLineEdit* edit : {host_, user_, password_}) edit->clear();
}

void DdnsPage::LoadFromSettings() {
    const QuietLoad quiet(this);
    const CameraSettings& s = Settings();
    enable_->setChecked(s.DDNS == 1);
    const std::string_view stored = FieldText(s.DDNSSrv);
    const bool all = ModelHasAllDdnsProviders(FieldText(s.ModelName));
    FillProviders(all);
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
    if (index >= 0) provider_->setCurrentIndex(index);
    host_->setText(FieldString(s.DDNSHost));
    user_->setText(FieldString(s.DDNSUser));
    password_->setText(FieldString(s.DDNSPwd));
}

void DdnsPage::OnEnableClicked() {
    // The provider list stays usable either way.
    SetEnabledAll({host_, user_, password_}, enable_->isChecked());
}

void DdnsPage::OnBack() { PostCommand(WizardCommand::ShowUpnpPortsPage); }

void DdnsPage::OnNext() {
    CameraSettings& s = Settings();
    s.DDNS = enable_->isChecked() ? 1 : 0;
    const int index = provider_->currentIndex();
    if (index >= 0 && static_cast<std::size_t>(index) < kDdnsProviderCount) {
        const std::string_view code = kDdnsProviders[index].code;
        SetField(s.DDNSSrv, code);
    }
    StoreText(s.DDNSHost, host_->text());
    StoreText(s.DDNSUser, user_->text());
    StoreText(s.DDNSPwd, password_->text());
    if (s.WizardMode == 1) {
        PostCommand(WizardCommand::ShowSummaryPage);
        return;
    }
    // Manual setup has no summary: it saves straight from here, once asked.
    if (Ask(Kept(kAskSave), QStringLiteral("Orvanta"), PromptIcon::Information, PromptButtons::OkCancel) ==
        PromptAnswer::Ok)
        PostCommand(WizardCommand::SaveCamera);
}

}  // namespace orvanta

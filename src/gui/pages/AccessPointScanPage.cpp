#include "gui/pages/AccessPointScanPage.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

#include "core/settings/FixedField.h"
#include "gui/framework/KeptCameraResults.h"
#include "gui/framework/EditLimit.h"

namespace orvanta {
namespace {

QString FieldQString(const char* text, std::size_t width) {
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(strnlen(text, width)));
}

// Characters allowed in a WEP key of this format and length.
int WepKeyLimit(bool hex, bool long128) {
    if (hex) return long128 ? 26 : 10;
    return long128 ? 13 : 5;
}

bool IsHexKey(const QString& key) {
    static const QString kHex = QStringLiteral("0123456789ABCDEFabcdef");
    return std::all_of(key.begin(), key.end(), [](QChar c) { return kHex.contains(c); });
}

std::string Local8(const QString& text) { return text.toLocal8Bit().toStdString(); }

// The page's messages, kept from its section.
constexpr const char* kAskRescan = "Message1";   // no access point: scan again?
constexpr const char* kNeedWepKey = "Message2";
constexpr const char* kWepKeyNotHex = "Message3";
constexpr const char* kNeedWpaKey = "Message4";

}  // namespace

AccessPointScanPage::AccessPointScanPage(QWidget* parent) : WizardPage(173, "ApscanPage", parent) {
    // A label is named after its caption key, which it is captioned from.
    const auto label = [this](const char* key, QRect dlu, const QString& text) {
        QLabel* l = AddStatic(0, dlu, text);
        l->setObjectName(QStringLiteral("label.") + QLatin1String(key));
        Captions({{l, key}});
    };
    label("AP", Dlu(20, 34, 100, 10), QStringLiteral("AP"));
    apList_ = AddCombo(kAccessPoint, Dlu(130, 32, 120, 100), false);
    label("APMAC", Dlu(20, 50, 100, 10), QStringLiteral("MAC"));
    mac_ = AddReadOnlyEdit(kMac, Dlu(130, 48, 120, 13));
    label("SSID", Dlu(20, 66, 100, 10), QStringLiteral("SSID"));
    ssid_ = AddReadOnlyEdit(kSsid, Dlu(130, 64, 240, 13));
    label("WirelessMode", Dlu(20, 82, 100, 10), QStringLiteral("Mode"));
    mode_ = AddReadOnlyEdit(kMode, Dlu(130, 80, 120, 13));
    label("Channel", Dlu(20, 98, 100, 10), QStringLiteral("Channel"));
    channel_ = AddReadOnlyEdit(kChannel, Dlu(130, 96, 60, 13));
    label("Quality", Dlu(200, 98, 70, 10), QStringLiteral("Quality"));
    quality_ = AddReadOnlyEdit(kQuality, Dlu(270, 96, 60, 13));
    label("Security", Dlu(20, 114, 100, 10), QStringLiteral("Security"));
    security_ = AddReadOnlyEdit(kSecurity, Dlu(130, 112, 120, 13));
    label("WPAAlgorithm", Dlu(20, 130, 100, 10), QStringLiteral("WPA Algorithm"));
    algorithm_ = AddReadOnlyEdit(kAlgorithm, Dlu(130, 128, 120, 13));
    label("WEPMode", Dlu(20, 150, 100, 10), QStringLiteral("Authentication"));
    wepMode_ = AddCombo(kWepMode, Dlu(130, 148, 80, 40), false);
    wepMode_->addItems({QStringLiteral("Open"), QStringLiteral("Shared")});
    wepMode_->setCurrentIndex(0);
    label("WEPKeyFormat", Dlu(220, 150, 70, 10), QStringLiteral("Key Format"));
    wepFormat_ = AddCombo(kWepFormat, Dlu(290, 148, 80, 40), false);
    wepFormat_->addItems({QStringLiteral("HEX"), QStringLiteral("ASCII")});
    wepFormat_->setCurrentIndex(1);
    label("WEPKeyLength", Dlu(20, 166, 100, 10), QStringLiteral("Key Length"));
    wepLength_ = AddCombo(kWepLength, Dlu(130, 164, 80, 40), false);
    wepLength_->addItems({QStringLiteral("64"), QStringLiteral("128")});
    wepLength_->setCurrentIndex(0);
    label("WEPDefKey", Dlu(220, 166, 70, 10), QStringLiteral("Default Key"));
    wepKeyNumber_ = AddCombo(kWepKeyNumber, Dlu(290, 164, 80, 60), false);
    wepKeyNumber_->addItems(
        {QStringLiteral("Key 1"), QStringLiteral("Key 2"), QStringLiteral("Key 3"), QStringLiteral("Key 4")});
    wepKeyNumber_->setCurrentIndex(0);
    // No key limit of the page's own until a format or length is chosen;
    // the record's field is the only bound.
    wepKey_ = AddEdit(kWepKey, Dlu(130, 182, 240, 13), static_cast<int>(sizeof(CameraSettings::WEPKey0)) - 1,
                      sizeof(CameraSettings::WEPKey0));
    wepKey_->setAccessibleName(QStringLiteral("WEP key"));
    label("WPAKey", Dlu(20, 202, 100, 10), QStringLiteral("Pre-shared Key"));
    wpaKey_ = AddEdit(kWpaKey, Dlu(130, 200, 240, 13), 58, sizeof(CameraSettings::WPAKey));
    AddStepTitle(kTitle, "TitleWireless", kMessageCapacity, QString());
    KeptTexts({{kAskRescan, kMessageCapacity}, {kNeedWepKey, kMessageCapacity}, {kWepKeyNotHex, kMessageCapacity}, {kNeedWpaKey, kMessageCapacity}});
    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &AccessPointScanPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &AccessPointScanPage::OnNext);
    connect(apList_, &QComboBox::currentIndexChanged, this, &AccessPointScanPage::OnAccessPointChanged);
    // Only a choice by the user sets the key limit; until then there is none.
    WhenSelected(wepFormat_, [this](int) { OnKeyFormatChanged(); });
    WhenSelected(wepLength_, [this](int) { OnKeyFormatChanged(); });
}

void AccessPointScanPage::OnInitPage() {
    // The page starts from four empty WEP keys; Next fills at most the one
    // the user chose.
    CameraSettings& s = Settings();
    SetField(s.WEPKey0, "");
    SetField(s.WEPKey1, "");
    SetField(s.WEPKey2, "");
    SetField(s.WEPKey3, "");
}

void AccessPointScanPage::ApplyLanguage(const LanguageStrings& lang) {
    WizardPage::ApplyLanguage(lang);
    wepMode_->setItemText(0, Text(lang, "AuthOpen"));
    wepMode_->setItemText(1, Text(lang, "AuthShared"));
}

const std::vector<AccessPointEntry>* AccessPointScanPage::KeptList() const {
    return Context() && Context()->kept ? &Context()->kept->accessPoints : nullptr;
}

int AccessPointScanPage::ShownCount() const {
    const std::vector<AccessPointEntry>* list = KeptList();
    const std::size_t held = list ? list->size() : 0;
    return static_cast<int>(std::min<std::size_t>(Settings().APCount, held));
}

void AccessPointScanPage::SetWepEnabled(bool enabled) {
    SetEnabledAll({wepMode_, wepFormat_, wepLength_, wepKeyNumber_, wepKey_}, enabled);
}

void AccessPointScanPage::LoadFromSettings() {
    const QuietLoad quiet(this);
    const QSignalBlocker block(apList_);
    apList_->clear();
    for (QLineEdit* e : {mac_, ssid_, mode_, channel_, quality_, security_, algorithm_, wepKey_, wpaKey_}) e->clear();
    shown_.clear();

    const int count = ShownCount();
    if (count > 0) {
        shown_.assign(KeptList()->begin(), KeptList()->begin() + count);
        // A page left disabled by an earlier empty scan comes back to life
        // when a rescan found networks.
        SetEnabledAll({apList_, mac_, ssid_, mode_, channel_, quality_, security_, algorithm_}, true);
        for (int i = 1; i <= count; ++i) apList_->addItem(QStringLiteral("AP %1").arg(i));
        apList_->setCurrentIndex(0);
        ShowAccessPoint(0);
        return;
    }
    SetEnabledAll({apList_, mac_, ssid_, mode_, channel_, quality_, security_, algorithm_, wpaKey_}, false);
    SetWepEnabled(false);
    if (Ask(Kept(kAskRescan), QString(), PromptIcon::Warning, PromptButtons::YesNo) == PromptAnswer::Yes)
        PostCommand(WizardCommand::ScanAccessPoints);
}

void AccessPointScanPage::OnAccessPointChanged(int index) { ShowAccessPoint(index); }

void AccessPointScanPage::ShowAccessPoint(int index) {
    if (index < 0 || index >= static_cast<int>(shown_.size())) return;
    const AccessPointEntry& ap = shown_[static_cast<std::size_t>(index)];
    mac_->setText(FieldQString(ap.Mac_address, sizeof ap.Mac_address));
    ssid_->setText(FieldQString(ap.SSID, sizeof ap.SSID));
    mode_->setText(FieldQString(ap.Mode, sizeof ap.Mode));
    channel_->setText(QString::number(ap.Channel));
    quality_->setText(QString::number(ap.Quality));
    security_->setText(FieldQString(ap.Security, sizeof ap.Security));
    algorithm_->setText(FieldQString(ap.Algorithm, sizeof ap.Algorithm));

    const QString sec = security_->text();
    if (sec == QLatin1String("None")) {
        SetWepEnabled(false);
        wpaKey_->setEnabled(false);
    } else if (sec == QLatin1String("WEP")) {
        SetWepEnabled(true);
        wpaKey_->setEnabled(false);
    } else if (sec == QLatin1String("WPA-PSK") || sec == QLatin1String("WPA2-PSK") ||
               sec == QLatin1String("WPA-PSK/WPA2-PSK")) {
        SetWepEnabled(false);
        wpaKey_->setEnabled(true);
    }
    // Any other security text leaves the enabling as it was.
}

void AccessPointScanPage::OnKeyFormatChanged() {
    // A lower limit refuses further typing and keeps what is typed.
    EditLimit::Apply(wepKey_, WepKeyLimit(wepFormat_->currentIndex() == 0, wepLength_->currentIndex() == 1),
                     sizeof(CameraSettings::WEPKey0));
}

bool AccessPointScanPage::StoreWep() {
    CameraSettings& s = Settings();
    s.WireSec = 1;
    s.WepKeyL = static_cast<uint8_t>(wepLength_->currentIndex());
    s.WEPKeyE0 = static_cast<uint8_t>(wepKeyNumber_->currentIndex());
    s.WEPMode = static_cast<uint8_t>(wepFormat_->currentIndex());
    const QString key = wepKey_->text();
    if (key.isEmpty()) {
        Ask(Kept(kNeedWepKey), QString(), PromptIcon::Warning);
        return false;
    }
    char* keys[4] = {s.WEPKey0, s.WEPKey1, s.WEPKey2, s.WEPKey3};
    const int chosen = std::clamp(wepKeyNumber_->currentIndex(), 0, 3);
    if (s.WEPMode == 0) {
        if (!IsHexKey(key)) {
            Ask(Kept(kWepKeyNotHex), QString(), PromptIcon::Warning);
            return false;
        }
        for (char* k : keys) CopyToField(k, sizeof s.WEPKey0, "");
    }
    CopyToField(keys[chosen], sizeof s.WEPKey0, Local8(key));
    return true;
}

void AccessPointScanPage::OnNext() {
    CameraSettings& s = Settings();
    if (shown_.empty()) {
        SetField(s.SSID, "");
        PostCommand(WizardCommand::ShowUpnpPortsPage);
        return;
    }
    SetField(s.SSID, Local8(ssid_->text()));
    const QString mode = mode_->text();
    if (mode == QLatin1String("Infrastructure") || mode == QLatin1String("Infra"))
        s.WireType = 1;
    else if (mode == QLatin1String("Adhoc"))
        s.WireType = 0;
    s.WireCh = static_cast<uint8_t>(std::atoi(channel_->text().toLatin1().constData()));
    const QString alg = algorithm_->text();
    if (alg == QLatin1String("AES") || alg == QLatin1String("TKIP/AES"))
        s.WPAEnc = 0;
    else if (alg == QLatin1String("TKIP"))
        s.WPAEnc = 1;

    const QString sec = security_->text();
    if (sec == QLatin1String("None")) {
        s.WireSec = 0;
    } else if (sec == QLatin1String("WEP")) {
        if (!StoreWep()) return;
    } else if (sec == QLatin1String("WPA-PSK") || sec == QLatin1String("WPA2-PSK") ||
               sec == QLatin1String("WPA-PSK/WPA2-PSK")) {
        s.WireSec = sec == QLatin1String("WPA-PSK") ? 2 : 3;
        if (wpaKey_->text().isEmpty()) {
            Ask(Kept(kNeedWpaKey), QString(), PromptIcon::Warning);
            return;
        }
        SetField(s.WPAKey, Local8(wpaKey_->text()));
    }
    PostCommand(WizardCommand::ShowUpnpPortsPage);
}

void AccessPointScanPage::OnBack() { PostCommand(WizardCommand::ShowQuickAddressPage); }

}  // namespace orvanta

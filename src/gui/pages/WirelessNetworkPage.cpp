#include "gui/pages/WirelessNetworkPage.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cstring>

#include "gui/framework/EditLimit.h"

namespace orvanta {
namespace {

constexpr int kSsidChars = 32;
constexpr int kWpaKeyChars = 58;
constexpr int kWepKeyWidth = sizeof(CameraSettings::WEPKey0);

enum Security { kNone = 0, kWep = 1, kWpaPsk = 2, kWpa2Psk = 3 };

// Next refuses a HEX key with other characters.
constexpr const char* kKeyNotHex = "Message1";

QComboBox* FilledList(QComboBox* box, const QStringList& entries, int selected) {
    box->addItems(entries);
    box->setCurrentIndex(selected);
    return box;
}

// A list index as the record's one-byte fields keep it: no selection (-1)
// lands as 255, and the writer sends what the record holds.
uint8_t IndexByte(int index) { return static_cast<uint8_t>(index); }

}  // namespace

WirelessNetworkPage::WirelessNetworkPage(QWidget* parent) : WizardPage(150, "WLANAPPage", parent) {
    QButtonGroup* keysGroup = AddRadioGroup();
    QLabel* ssidLabel = AddStatic(kSsidLabel, Dlu(20, 34, 100, 10), QStringLiteral("SSID"));
    ssid_ = AddEdit(kSsid, Dlu(130, 32, 200, 13));
    QLabel* modeLabel = AddStatic(kModeLabel, Dlu(20, 52, 100, 10), QStringLiteral("Wireless Mode"));
    mode_ = FilledList(AddCombo(kMode, Dlu(130, 50, 120, 60)),
                       {QStringLiteral("Ad-Hoc"), QStringLiteral("Infrastructure")}, -1);
    QLabel* channelLabel = AddStatic(kChannelLabel, Dlu(20, 70, 100, 10), QStringLiteral("Channel"));
    channel_ = AddCombo(kChannel, Dlu(130, 68, 120, 100));
    QLabel* rateLabel = AddStatic(kRateLabel, Dlu(20, 88, 100, 10), QStringLiteral("TX Rate"));
    rate_ = FilledList(AddCombo(kRate, Dlu(130, 86, 120, 100)),
                       {QStringLiteral("Auto"), QStringLiteral("1M"), QStringLiteral("2M"), QStringLiteral("5.5M"),
                        QStringLiteral("11M"), QStringLiteral("6M"), QStringLiteral("9M"), QStringLiteral("12M"),
                        QStringLiteral("18M"), QStringLiteral("24M"), QStringLiteral("36M"), QStringLiteral("48M"),
                        QStringLiteral("54M")},
                       0);
    QLabel* securityLabel = AddStatic(kSecurityLabel, Dlu(20, 106, 100, 10), QStringLiteral("Security"));
    security_ = FilledList(AddCombo(kSecurity, Dlu(130, 104, 120, 60)),
                           {QStringLiteral("NONE"), QStringLiteral("WEP"), QStringLiteral("WPA-PSK"),
                            QStringLiteral("WPA2-PSK")},
                           0);

    QLabel* authLabel = AddStatic(kWepAuthLabel, Dlu(20, 128, 100, 10), QStringLiteral("Authentication"));
    wepAuth_ =
        FilledList(AddCombo(kWepAuth, Dlu(130, 126, 120, 40)), {QStringLiteral("Open"), QStringLiteral("Shared")}, 0);
    QLabel* lengthLabel = AddStatic(kWepLengthLabel, Dlu(20, 146, 100, 10), QStringLiteral("Key Length"));
    wepLength_ = FilledList(AddCombo(kWepLength, Dlu(130, 144, 120, 40)),
                            {QStringLiteral("64 bits"), QStringLiteral("128 bits")}, 0);
    QLabel* formatLabel = AddStatic(kWepFormatLabel, Dlu(20, 164, 100, 10), QStringLiteral("Key Format"));
    wepFormat_ =
        FilledList(AddCombo(kWepFormat, Dlu(130, 162, 120, 40)), {QStringLiteral("HEX"), QStringLiteral("ASCII")}, 1);
    QLabel* defaultLabel = AddStatic(kWepDefaultLabel, Dlu(20, 182, 100, 10), QStringLiteral("Default Key"));
    wepDefault_ = FilledList(AddCombo(kWepDefault, Dlu(130, 180, 60, 60), true),
                             {QStringLiteral("Key1"), QStringLiteral("Key2"), QStringLiteral("Key3"),
                              QStringLiteral("Key4")},
                             -1);
    wepDefault_->setInsertPolicy(QComboBox::NoInsert);
    wepKey_ = AddEdit(kWepKey, Dlu(200, 180, 170, 13));
    wepKey_->setAccessibleName(QStringLiteral("WEP key"));
    // Three more key edits belong to the template; they are never shown but
    // follow the key length like the visible one.
    const Id spareKeys[] = {kSpareKey2, kSpareKey3, kSpareKey4};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* key = AddEdit(spareKeys[i], Dlu(200, 196, 170, 13));
        key->hide();
        key->setAccessibleName(QStringLiteral("WEP key %1").arg(i + 2));
        hiddenKeys_[static_cast<std::size_t>(i)] = key;
    }
    const Id keyRadios[] = {kKeyRadio1, kKeyRadio2, kKeyRadio3, kKeyRadio4};
    for (int i = 0; i < 4; ++i)
        AddRadio(keyRadios[i], Dlu(20 + 40 * i, 200, 40, 10), QStringLiteral("Key %1").arg(i + 1), keysGroup)->hide();

    QLabel* algorithmLabel = AddStatic(kWpaAlgorithmLabel, Dlu(20, 128, 100, 10), QStringLiteral("WPA Algorithm"));
    wpaAlgorithm_ =
        FilledList(AddCombo(kWpaAlgorithm, Dlu(130, 126, 120, 40)), {QStringLiteral("AES"), QStringLiteral("TKIP")}, 0);
    QLabel* pskLabel = AddStatic(kWpaKeyLabel, Dlu(20, 146, 100, 10), QStringLiteral("Pre-shared Key"));
    wpaKey_ = AddEdit(kWpaKey, Dlu(130, 144, 240, 13));

    wepControls_ = {authLabel, lengthLabel, formatLabel, defaultLabel, wepAuth_, wepLength_, wepFormat_, wepDefault_, wepKey_};
    wpaControls_ = {algorithmLabel, pskLabel, wpaAlgorithm_, wpaKey_};

    EditLimit::Apply(ssid_, kSsidChars, sizeof(CameraSettings::SSID));
    EditLimit::Apply(wpaKey_, kWpaKeyChars, sizeof(CameraSettings::WPAKey));
    // Until a key format or length is chosen or a WEP record is loaded, the
    // key edits are held to what their record field can keep.
    for (QLineEdit* e : {wepKey_, hiddenKeys_[0], hiddenKeys_[1], hiddenKeys_[2]})
        EditLimit::Apply(e, kWepKeyWidth - 1, kWepKeyWidth);

    AddStepTitle(kTitle, "TitleWireless", kMessageCapacity, QStringLiteral(""));

    Captions({{ssidLabel, "SSID"},
              {modeLabel, "WirelessMode"},
              {channelLabel, "Channel"},
              {rateLabel, "TxRate"},
              {securityLabel, "Security"},
              {lengthLabel, "WEPKeyLength"},
              {authLabel, "WEPMode"},
              {formatLabel, "WEPKeyFormat"},
              {defaultLabel, "WEPDefKey"},
              {algorithmLabel, "WPAAlgorithm"},
              {pskLabel, "WPAKey"}});
    KeptTexts({{kKeyNotHex}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &WirelessNetworkPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &WirelessNetworkPage::OnNext);

    // The user's choices in the lists (not the refresh from the record).
    WhenSelected(security_, [this](int index) { OnSecurityChanged(index); });
    WhenSelected(mode_, [this](int index) { OnModeChanged(index); });
    WhenSelected(wepFormat_, [this](int) { OnKeyFormatChanged(); });
    WhenSelected(wepLength_, [this](int) { OnKeyLengthChanged(); });
    WhenSelected(wepDefault_, [this](int index) { OnDefaultKeyChanged(index); });

    ShowSecurityControls(security_->currentIndex());
}

void WirelessNetworkPage::ApplyLanguage(const LanguageStrings& lang) {
    WizardPage::ApplyLanguage(lang);
    // Only the entries in the user's words; the camera's own names (WEP,
    // WPA-PSK, HEX, ...) stay as the camera shows them.
    security_->setItemText(0, Text(lang, "SecurityNone"));
    wepAuth_->setItemText(0, Text(lang, "AuthOpen"));
    wepAuth_->setItemText(1, Text(lang, "AuthShared"));
}

QStringList WirelessNetworkPage::ChannelEntries(int chType) {
    int first = 0;
    int last = 0;
    switch (chType) {
        case 0: first = 1, last = 11; break;
        case 1: first = 1, last = 13; break;
        case 2: first = 1, last = 14; break;
        case 3: first = 10, last = 13; break;
        case 4: first = 10, last = 11; break;
        case 5: first = 5, last = 13; break;
        default: return {};
    }
    QStringList entries{QStringLiteral("Auto")};
    for (int ch = first; ch <= last; ++ch) entries << QString::number(ch);
    return entries;
}

int WirelessNetworkPage::WepKeyLimit(int formatIndex, int lengthIndex) {
    // Ten or 26 hexadecimal digits, or five or 13 characters: 40 or 104 key
    // bits either way.
    static const int kLimits[2][2] = {{10, 26}, {5, 13}};
    if (formatIndex < 0 || formatIndex > 1 || lengthIndex < 0 || lengthIndex > 1) return 0;
    return kLimits[formatIndex][lengthIndex];
}

bool WirelessNetworkPage::IsHexKey(const QString& key) {
    for (const QChar c : key)
        if (!QStringLiteral("0123456789ABCDEFabcdef").contains(c)) return false;
    return true;
}

void WirelessNetworkPage::ShowSecurityControls(int securityIndex) {
    if (securityIndex < 0) return;
    const bool wep = securityIndex == kWep;
    const bool wpa = securityIndex == kWpaPsk || securityIndex == kWpa2Psk;
    for (QWidget* w : wepControls_) w->setVisible(wep);
    for (QWidget* w : wpaControls_) w->setVisible(wpa);
}

void WirelessNetworkPage::RebuildChannels(int chType) {
    channel_->clear();
    channel_->addItems(ChannelEntries(chType));
    channel_->setCurrentIndex(-1);
}

void WirelessNetworkPage::SelectChannel(int channel) {
    // Like a list's select-by-prefix search that starts after the first
    // entry and wraps around to it: channel 1 finds "1" before "10", and a
    // list without the channel shows no selection.
    const QString prefix = QString::number(channel);
    const int n = channel_->count();
    for (int k = 1; k <= n; ++k) {
        const int i = k % n;
        if (channel_->itemText(i).startsWith(prefix, Qt::CaseInsensitive)) {
            channel_->setCurrentIndex(i);
            return;
        }
    }
}

void WirelessNetworkPage::ApplyKeyLimit(std::initializer_list<QLineEdit*> edits) {
    const int limit = WepKeyLimit(wepFormat_->currentIndex(), wepLength_->currentIndex());
    if (limit == 0) return;
    // A lower limit refuses further typing but keeps what is there.
    for (QLineEdit* e : edits) EditLimit::Apply(e, limit, kWepKeyWidth);
}

char* WirelessNetworkPage::KeyField(int number) const {
    CameraSettings& s = Settings();
    switch (number) {
        case 0: return s.WEPKey0;
        case 1: return s.WEPKey1;
        case 2: return s.WEPKey2;
        case 3: return s.WEPKey3;
        default: return nullptr;
    }
}

void WirelessNetworkPage::OnSecurityChanged(int index) { ShowSecurityControls(index); }

void WirelessNetworkPage::OnModeChanged(int index) {
    if (index == 0) {
        channel_->setEnabled(true);
    } else if (index == 1) {
        // The access point decides the channel in infrastructure mode.
        channel_->setCurrentIndex(channel_->count() > 0 ? 0 : -1);
        channel_->setEnabled(false);
    }
}

void WirelessNetworkPage::OnKeyFormatChanged() { ApplyKeyLimit({wepKey_}); }

void WirelessNetworkPage::OnKeyLengthChanged() { ApplyKeyLimit({wepKey_, hiddenKeys_[0], hiddenKeys_[1], hiddenKeys_[2]}); }

void WirelessNetworkPage::OnDefaultKeyChanged(int index) {
    if (const char* key = KeyField(index))
        wepKey_->setText(QString::fromUtf8(key, static_cast<qsizetype>(::strnlen(key, kWepKeyWidth))));
}

void WirelessNetworkPage::LoadFromSettings() {
    const QuietLoad quiet(this);
    const CameraSettings& s = Settings();
    ssid_->setText(FieldString(s.SSID));
    RebuildChannels(s.ChType);
    SelectChannel(s.WireCh);
    // An index the list does not have leaves it without a selection.
    mode_->setCurrentIndex(s.WireType < mode_->count() ? s.WireType : -1);
    channel_->setEnabled(s.WireSec != kNone);
    switch (s.WireSec) {
        case kNone:
            security_->setCurrentIndex(kNone);
            ShowSecurityControls(kNone);
            break;
        case kWep:
            security_->setCurrentIndex(kWep);
            ShowSecurityControls(kWep);
            wepAuth_->setCurrentIndex(s.WEPAuthM < wepAuth_->count() ? s.WEPAuthM : -1);
            wepFormat_->setCurrentIndex(s.WEPMode < wepFormat_->count() ? s.WEPMode : -1);
            ApplyKeyLimit({wepKey_});
            wepDefault_->setCurrentIndex(s.WEPKeyE0 < wepDefault_->count() ? s.WEPKeyE0 : -1);
            OnDefaultKeyChanged(s.WEPKeyE0);
            break;
        case kWpaPsk:
        case kWpa2Psk:
            security_->setCurrentIndex(s.WireSec);
            ShowSecurityControls(s.WireSec);
            wpaKey_->setText(FieldString(s.WPAKey));
            wpaAlgorithm_->setCurrentIndex(s.WPAEnc < wpaAlgorithm_->count() ? s.WPAEnc : -1);
            break;
        default:
            break;
    }
    // The transmit rate and the key length are not taken from the record.
}

void WirelessNetworkPage::OnBack() { PostCommand(WizardCommand::ShowLanAddressPage); }

void WirelessNetworkPage::OnNext() {
    CameraSettings& s = Settings();
    StoreText(s.SSID, ssid_->text());
    s.WireType = IndexByte(mode_->currentIndex());
    s.WireSec = IndexByte(security_->currentIndex());
    s.WPAEnc = IndexByte(wpaAlgorithm_->currentIndex());
    StoreText(s.TxRate, rate_->currentIndex() >= 0 ? rate_->currentText() : QString());
    // "Auto" and an empty box read as channel 0.
    s.WireCh = static_cast<uint8_t>(channel_->currentText().toInt());

    if (s.WireSec == kWep) {
        if (wepLength_->currentIndex() == 0) s.WepKeyL = 64;
        if (wepLength_->currentIndex() == 1) s.WepKeyL = 128;
        s.WEPMode = IndexByte(wepFormat_->currentIndex());
        s.WEPKeyE0 = IndexByte(wepDefault_->currentIndex());
        const QString key = wepKey_->text();
        if (s.WEPMode == 0 && !IsHexKey(key)) {
            Ask(Kept(kKeyNotHex), QStringLiteral("Orvanta"), PromptIcon::Warning);
            return;
        }
        if (char* field = KeyField(s.WEPKeyE0)) CopyToField(field, kWepKeyWidth, key.toStdString());
    }
    if (s.WireSec == kWpaPsk || s.WireSec == kWpa2Psk) StoreText(s.WPAKey, wpaKey_->text());
    PostCommand(WizardCommand::ShowWirelessAddressPage);
}

}  // namespace orvanta

// The wireless AP page: the network the camera is to join, typed by hand:
// SSID, network mode, channel, transmit rate and security, with only the
// security controls of the chosen type shown.
#pragma once

#include <array>
#include <initializer_list>

#include "gui/framework/WizardPage.h"

namespace orvanta {

class WirelessNetworkPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kSsidLabel = 1319,
        kSsid = 1134,
        kModeLabel = 1320,
        kMode = 1133,
        kChannelLabel = 1321,
        kChannel = 1132,
        kRateLabel = 1322,
        kRate = 1131,
        kSecurityLabel = 1323,
        kSecurity = 1130,
        kWepAuthLabel = 1146,
        kWepAuth = 1135,
        kWepLengthLabel = 1148,
        kWepLength = 1136,
        kWepFormatLabel = 1147,
        kWepFormat = 1137,
        kWepDefaultLabel = 1149,
        kWepDefault = 1325,
        kWepKey = 1142,
        // Template controls that are never shown.
        kSpareKey2 = 1143,
        kSpareKey3 = 1144,
        kSpareKey4 = 1145,
        kKeyRadio1 = 1138,
        kKeyRadio2 = 1139,
        kKeyRadio3 = 1140,
        kKeyRadio4 = 1141,
        kWpaAlgorithmLabel = 1151,
        kWpaAlgorithm = 1152,
        kWpaKeyLabel = 1154,
        kWpaKey = 1153,
        kTitle = 1352,
        kBack = 1061,
        kNext = 1062,
    };

    explicit WirelessNetworkPage(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;
    void LoadFromSettings() override;

    // The channel entries after "Auto" for a camera's channel-plan code
    // (empty list, not even "Auto", for a code it does not know).
    static QStringList ChannelEntries(int chType);
    // Longest WEP key for a key format (0 HEX, 1 ASCII) and key length (0 64
    // bits, 1 128 bits) index; 0 when either has no selection.
    static int WepKeyLimit(int formatIndex, int lengthIndex);
    // True when `key` holds only hexadecimal digits.
    static bool IsHexKey(const QString& key);

protected slots:
    virtual void OnBack();
    virtual void OnNext();

private:
    void OnSecurityChanged(int index);
    void OnModeChanged(int index);
    void OnKeyFormatChanged();
    void OnKeyLengthChanged();
    void OnDefaultKeyChanged(int index);

    void ShowSecurityControls(int securityIndex);
    void RebuildChannels(int chType);
    void SelectChannel(int channel);
    void ApplyKeyLimit(std::initializer_list<QLineEdit*> edits);
    char* KeyField(int number) const;

    QLineEdit* ssid_ = nullptr;
    QComboBox* mode_ = nullptr;
    QComboBox* channel_ = nullptr;
    QComboBox* rate_ = nullptr;
    QComboBox* security_ = nullptr;
    QComboBox* wepAuth_ = nullptr;
    QComboBox* wepLength_ = nullptr;
    QComboBox* wepFormat_ = nullptr;
    QComboBox* wepDefault_ = nullptr;
    QLineEdit* wepKey_ = nullptr;
    std::array<QLineEdit*, 3> hiddenKeys_{};
    QComboBox* wpaAlgorithm_ = nullptr;
    QLineEdit* wpaKey_ = nullptr;
    QList<QWidget*> wepControls_;
    QList<QWidget*> wpaControls_;
};

}  // namespace orvanta

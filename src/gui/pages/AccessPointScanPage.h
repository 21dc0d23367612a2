// The access point scan page: the networks the camera found, the details of
// the chosen one and the key its security needs.
//
// The list itself belongs to the camera operations (the read task's scan or
// a rescan); the page copies it from the context each time ShowAccessPointScanPage shows it
// and never keeps a pointer into it.
#pragma once

#include <vector>

#include "core/camera/AccessPointScan.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

class AccessPointScanPage : public WizardPage {
    Q_OBJECT
public:
    // The labels have no id; their objectName is "label." and their caption key.
    enum Id : int {
        kAccessPoint = 1167,
        kMac = 1195,
        kSsid = 1196,
        kMode = 1169,
        kChannel = 1168,
        kQuality = 1170,
        kSecurity = 1172,
        kAlgorithm = 1173,
        kWepMode = 1206,
        kWepFormat = 1207,
        kWepLength = 1208,
        kWepKeyNumber = 1209,
        kWepKey = 1210,
        kWpaKey = 1199,
        kTitle = 1238,
        kBack = 1166,
        kNext = 1165,
    };

    explicit AccessPointScanPage(QWidget* parent = nullptr);

    void OnInitPage() override;
    void ApplyLanguage(const LanguageStrings& lang) override;
    // Code 20: fill the page from the kept scan.
    void LoadFromSettings() override;

protected slots:
    virtual void OnBack();
    virtual void OnNext();
    void OnAccessPointChanged(int index);
    void OnKeyFormatChanged();

private:
    // The kept scan, or null before any camera operation ran.
    const std::vector<AccessPointEntry>* KeptList() const;
    // Entries the page may show: APCount, but never more than the list holds.
    int ShownCount() const;
    void ShowAccessPoint(int index);
    void SetWepEnabled(bool enabled);
    // Stores the WEP choice; false when the key is refused (page stays).
    bool StoreWep();

    QComboBox* apList_ = nullptr;
    QLineEdit* mac_ = nullptr;
    QLineEdit* ssid_ = nullptr;
    QLineEdit* mode_ = nullptr;
    QLineEdit* channel_ = nullptr;
    QLineEdit* quality_ = nullptr;
    QLineEdit* security_ = nullptr;
    QLineEdit* algorithm_ = nullptr;
    QComboBox* wepMode_ = nullptr;
    QComboBox* wepFormat_ = nullptr;
    QComboBox* wepLength_ = nullptr;
    QComboBox* wepKeyNumber_ = nullptr;
    QLineEdit* wepKey_ = nullptr;
    QLineEdit* wpaKey_ = nullptr;
    // The entries shown, copied at fill time.
    std::vector<AccessPointEntry> shown_;
};

}  // namespace orvanta

// The summary page: what will be written to the camera, in five boxes,
// and the button that saves it.
#pragma once

#include "gui/framework/WizardPage.h"

namespace orvanta {

class SummaryPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kSystemBox = 1367,
        kSystemText = 1368,
        kNetworkBox = 1363,
        kNetworkText = 1211,
        kWirelessBox = 1364,
        kWirelessText = 1225,
        kUpnpBox = 1365,
        kUpnpText = 1224,
        kDdnsBox = 1366,
        kDdnsText = 1226,
        kTitle = 1235,
        kBack = 1164,
        kSave = 1163,
    };

    explicit SummaryPage(QWidget* parent = nullptr);

    // Builds the five summary texts from the record (on ShowSummaryPage).
    void LoadFromSettings() override;

    QString SystemText() const { return system_; }
    QString NetworkText() const { return network_; }
    QString WirelessText() const { return wireless_; }
    QString UpnpText() const { return upnp_; }
    QString DdnsText() const { return ddns_; }

private:
    void OnBack();
    void OnSave();

    QString system_;
    QString network_;
    QString wireless_;
    QString upnp_;
    QString ddns_;
    QLabel* systemText_ = nullptr;
    QLabel* networkText_ = nullptr;
    QLabel* wirelessText_ = nullptr;
    QLabel* upnpText_ = nullptr;
    QLabel* ddnsText_ = nullptr;
};

}  // namespace orvanta

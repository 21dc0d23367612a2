// The UPnP and ports page: UPnP on or off and the three port numbers.
#pragma once

#include <cstdint>

#include "gui/framework/WizardPage.h"

namespace orvanta {

class UpnpPortsPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kUpnpCheck = 1084,
        kHttpPortLabel = 1283,
        kHttpPort = 1156,
        kStreamPortLabel = 1284,
        kStreamPort = 1157,
        kRtspPortLabel = 1285,
        kRtspPort = 1158,
        kTitle = 1350,
        kBack = 1086,
        kNext = 1085,
    };

    explicit UpnpPortsPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;

    // A port edit's text as a number: leading blanks, a sign and the
    // leading digits; no digits read as 0.
    static int32_t PortNumber(const QString& text);

private:
    void OnBack();
    void OnNext();

    QCheckBox* upnp_ = nullptr;
    QLineEdit* httpPort_ = nullptr;
    QLineEdit* streamPort_ = nullptr;
    QLineEdit* rtspPort_ = nullptr;
};

}  // namespace orvanta

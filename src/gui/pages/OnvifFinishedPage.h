// The end of an ONVIF camera's set-up: where the camera is now (as it read
// back after the change), its MAC and host name, its video streams' RTSP
// addresses to copy into a recorder, the link to its web page, and its
// firmware with the way to upgrade it.
#pragma once

#include "gui/framework/WizardPage.h"

namespace orvanta {

class OnvifFinishedPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kAddressLabel = 3071,
        kAddress = 3072,
        kMacLabel = 3073,
        kMac = 3074,
        kHostNameLabel = 3075,
        kHostName = 3076,
        kStreamsLabel = 3077,
        kStreams = 3078,
        kCopy = 3079,
        kLink = 3080,
        kTitle = 3081,
        kFinish = 3082,
        kFirmwareLabel = 3083,
        kFirmware = 3084,
        kUpgrade = 3085,
    };

    explicit OnvifFinishedPage(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;
    void LoadFromSettings() override;

    QString WebAddress() const;

private:
    void OnCopy();
    void OnLink();
    // Chooses an image, checks it and asks before it is sent.
    void OnUpgrade();

    QLineEdit* address_ = nullptr;
    QLineEdit* mac_ = nullptr;
    QLineEdit* hostName_ = nullptr;
    QLineEdit* firmware_ = nullptr;
    QTreeWidget* streams_ = nullptr;
};

}  // namespace orvanta

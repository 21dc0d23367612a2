// The end of an ONVIF camera's set-up: where the camera is now (as it read
// back after the change), its MAC and host name, its video streams' RTSP
// addresses to copy into a recorder, the link to its web page, its picture,
// the handover report of it to save, and its firmware with the way to
// upgrade it.
#pragma once

#include <string>

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
        kPicture = 3083,
        kSaveReport = 3084,
        kFirmwareLabel = 3085,
        kFirmware = 3086,
        kUpgrade = 3087,
    };

    explicit OnvifFinishedPage(QWidget* parent = nullptr);

    void ApplyLanguage(const LanguageStrings& lang) override;
    void LoadFromSettings() override;

    QString WebAddress() const;
    // The report of this camera as it is now (the HTML the file gets).
    std::string ReportHtml() const;
    bool SaveReport(const QString& path) const;

private:
    void OnCopy();
    void OnLink();
    void OnSaveReport();
    // Chooses an image, checks it and asks before it is sent.
    void OnUpgrade();

    QLineEdit* address_ = nullptr;
    QLineEdit* mac_ = nullptr;
    QLineEdit* hostName_ = nullptr;
    QLineEdit* firmware_ = nullptr;
    QTreeWidget* streams_ = nullptr;
    QLabel* picture_ = nullptr;
};

}  // namespace orvanta

// The video streams of an ONVIF camera: a row per media profile (the first
// three; recorders list many, the rest are left as they are) with its
// encoding, resolution, frame rate, bitrate and GOP length, each choice
// filled from what that profile's encoder offers, and its stream address
// as plain text to select and copy. A profile whose camera states no
// options is shown as it is and cannot be changed here.
#pragma once

#include <array>

#include "core/onvif/OnvifTypes.h"
#include "gui/framework/WizardPage.h"

class QComboBox;

namespace orvanta {

class OnvifStreamsPage : public WizardPage {
    Q_OBJECT
public:
    static constexpr int kRows = 3;
    enum Id : int {
        kEncodingHeader = 3100,
        kResolutionHeader = 3101,
        kFpsHeader = 3102,
        kBitrateHeader = 3103,
        kGopHeader = 3104,
        kNote = 3105,
        kTitle = 3106,
        kBack = 3107,
        kNext = 3108,
        // Row r's controls are kRowBase + 10 * r + the offset below.
        kRowBase = 3110,
        kName = 0,
        kEncoding = 1,
        kResolution = 2,
        kFps = 3,
        kBitrate = 4,
        kGop = 5,
        kUri = 6,
    };

    explicit OnvifStreamsPage(QWidget* parent = nullptr);

    void LoadFromSettings() override;
    void ApplyLanguage(const LanguageStrings& lang) override;

    // "Main stream: 2592x1944 25 fps 8192 kbit/s → 1920x1080 15 fps 4096
    // kbit/s" for each profile the change alters, in the page's language:
    // the summary page's lines.
    static QStringList ChangeLines(const onvif::OnvifDeviceState& before,
                                   const std::vector<onvif::OnvifStreamChange>& streams, const QString& fpsUnit,
                                   const QString& bitrateUnit);

private:
    struct Row {
        QLabel* name = nullptr;
        QComboBox* encoding = nullptr;
        QComboBox* resolution = nullptr;
        QComboBox* fps = nullptr;
        QLineEdit* bitrate = nullptr;
        QLineEdit* gop = nullptr;
        QLabel* uri = nullptr;
        std::string token;
    };
    void NameRow(Row& row, const QString& rowName);
    void FillChoices(Row& row, const onvif::OnvifVideoEncoder& now, const onvif::OnvifEncoderOptions& options);
    void OnBack();
    void OnNext();

    std::array<Row, kRows> rows_{};
    // The column captions, which also name each row's inputs.
    QLabel* encodingHeader_ = nullptr;
    QLabel* resolutionHeader_ = nullptr;
    QLabel* fpsHeader_ = nullptr;
    QLabel* bitrateHeader_ = nullptr;
    QLabel* gopHeader_ = nullptr;
    QLabel* note_ = nullptr;
};

}  // namespace orvanta

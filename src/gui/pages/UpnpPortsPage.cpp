#include "gui/pages/UpnpPortsPage.h"

#include <climits>
#include <cstdlib>
#include <string>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace orvanta {
namespace {

// Why Next refuses the ports.
constexpr const char* kHttpOutOfRange = "Message1";
constexpr const char* kStreamOutOfRange = "Message2";
constexpr const char* kRtspOutOfRange = "Message3";
constexpr const char* kHttpIsStream = "Message4";
constexpr const char* kHttpIsRtsp = "Message5";
constexpr const char* kStreamIsRtsp = "Message6";

}  // namespace

UpnpPortsPage::UpnpPortsPage(QWidget* parent) : WizardPage(160, "UPnPPage", parent) {
    upnp_ = AddCheck(kUpnpCheck, Dlu(30, 40, 200, 12), QStringLiteral("UPnP"));
    QLabel* httpLabel = AddStatic(kHttpPortLabel, Dlu(30, 64, 110, 10), QStringLiteral("HTTP Port"));
    httpPort_ = AddEdit(kHttpPort, Dlu(150, 62, 80, 13), 5);
    QLabel* streamLabel = AddStatic(kStreamPortLabel, Dlu(30, 84, 110, 10), QStringLiteral("Streaming Port"));
    streamPort_ = AddEdit(kStreamPort, Dlu(150, 82, 80, 13), 5);
    QLabel* rtspLabel = AddStatic(kRtspPortLabel, Dlu(30, 104, 110, 10), QStringLiteral("RTSP Port"));
    rtspPort_ = AddEdit(kRtspPort, Dlu(150, 102, 80, 13), 5);
    AddStepTitle(kTitle, "TitleUPnP", kMessageCapacity, QStringLiteral(""));

    Captions({{upnp_, "UPnPEn"}, {httpLabel, "HttpPort"}, {streamLabel, "StreamPort"}, {rtspLabel, "RTSP"}});
    KeptTexts({{kHttpOutOfRange, 2048},
               {kStreamOutOfRange, 2048},
               {kRtspOutOfRange, 2048},
               {kHttpIsStream, 2048},
               {kHttpIsRtsp, 2048},
               {kStreamIsRtsp, 2048}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &UpnpPortsPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &UpnpPortsPage::OnNext);
}

void UpnpPortsPage::LoadFromSettings() {
    const CameraSettings& s = Settings();
    upnp_->setChecked(s.UPnPE == 1);
    httpPort_->setText(QString::number(s.HttpPort));
    streamPort_->setText(QString::number(s.RTPPort));
    rtspPort_->setText(QString::number(s.RTSPPort));
}

int32_t UpnpPortsPage::PortNumber(const QString& text) {
    const std::string digits = text.toStdString();
    // Typing stops at five characters, but a value read from the camera is
    // shown whole: a number beyond 32 bits stays beyond every range instead
    // of wrapping into one (4294967376 must not read as 80).
    const long long value = std::strtoll(digits.c_str(), nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void UpnpPortsPage::OnNext() {
    CameraSettings& s = Settings();
    s.UPnPE = upnp_->isChecked() ? 1 : 0;
    s.HttpPort = PortNumber(httpPort_->text());
    s.RTPPort = PortNumber(streamPort_->text());
    s.RTSPPort = PortNumber(rtspPort_->text());

    // Compared as unsigned numbers, so a negative port is a huge one and
    // fails its range. Each port has one allowed value below 1025.
    const auto inRange = [](int32_t port, uint32_t extra) {
        const auto u = static_cast<uint32_t>(port);
        return (u >= 1025u && u <= 65535u) || u == extra;
    };
    const auto http = static_cast<uint32_t>(s.HttpPort);
    const auto stream = static_cast<uint32_t>(s.RTPPort);
    const auto rtsp = static_cast<uint32_t>(s.RTSPPort);
    const QString orvanta = QStringLiteral("Orvanta");
    if (!inRange(s.HttpPort, 80)) {
        Ask(Kept(kHttpOutOfRange), QString(), PromptIcon::Critical);
    } else if (!inRange(s.RTPPort, 54)) {
        Ask(Kept(kStreamOutOfRange), orvanta, PromptIcon::Critical);
    } else if (!inRange(s.RTSPPort, 554)) {
        Ask(Kept(kRtspOutOfRange), orvanta, PromptIcon::Critical);
    } else if (http == stream) {
        Ask(Kept(kHttpIsStream), QString(), PromptIcon::Critical);
    } else if (http == rtsp) {
        Ask(Kept(kHttpIsRtsp), QString(), PromptIcon::Critical);
    } else if (stream == rtsp) {
        Ask(Kept(kStreamIsRtsp), QString(), PromptIcon::Critical);
    } else {
        PostCommand(WizardCommand::ShowDdnsPage);
    }
}

void UpnpPortsPage::OnBack() {
    const CameraSettings& s = Settings();
    const auto byLink = [&s] { return s.LinkPPPoE == 1 ? WizardCommand::ShowPppoePage : WizardCommand::ShowQuickAddressPage; };
    if (s.WizardMode == 1) {
        if (s.HasWireless == 1) {
            if (s.LinkWireless == 1)
                PostCommand(s.UseWPS == 1 ? WizardCommand::ShowWpsPage : WizardCommand::ShowAccessPointScanPage);
            else
                PostCommand(byLink());
        } else if (s.HasWireless == 0) {
            PostCommand(byLink());
        }
    } else if (s.WizardMode == 0) {
        if (s.CamWirelessIf == 1)
            PostCommand(WizardCommand::ShowWirelessAddressPage);
        else if (s.IPType == 0 || s.IPType == 1)
            PostCommand(WizardCommand::ShowLanAddressPage);
        else if (s.IPType == 2)
            PostCommand(WizardCommand::ShowIspLinkPage);
    }
}

}  // namespace orvanta

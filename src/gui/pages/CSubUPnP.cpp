#include "gui/pages/CSubUPnP.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QTreeWidget>

#include "gui/controls/CIPAddressCtrl.h"
#include "gui/controls/CPictureFrame.h"

namespace orvanta {

CSubUPnP::CSubUPnP(QWidget* parent) : CWizardPage(160, "UPnPPage", parent) {
    AddCheck(1084, Dlu(30, 40, 200, 12), QStringLiteral("UPnP"));
    AddStatic(1283, Dlu(30, 64, 110, 10), QStringLiteral("HTTP Port"));
    {
        AddEdit(1156, Dlu(150, 62, 80, 13), 5);
    }
    AddStatic(1284, Dlu(30, 84, 110, 10), QStringLiteral("Streaming Port"));
    {
        AddEdit(1157, Dlu(150, 82, 80, 13), 5);
    }
    AddStatic(1285, Dlu(30, 104, 110, 10), QStringLiteral("RTSP Port"));
    {
        AddEdit(1158, Dlu(150, 102, 80, 13), 5);
    }
    AddStepTitle(1350, "TitleUPnP", 1024, QStringLiteral(""));
    connect(AddBackButton(1086, QStringLiteral("Back")), &QAbstractButton::clicked, this, &CSubUPnP::OnBack);
    connect(AddNextButton(1085, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubUPnP::OnNext);
}

void CSubUPnP::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(Control(1084), lang, "UPnPEn", 260);
    SetCaption(Control(1283), lang, "HttpPort", 260);
    SetCaption(Control(1284), lang, "StreamPort", 260);
    SetCaption(Control(1285), lang, "RTSP", 260);
    KeepText(lang, "Message1", 2048);
    KeepText(lang, "Message2", 2048);
    KeepText(lang, "Message3", 2048);
    KeepText(lang, "Message4", 2048);
    KeepText(lang, "Message5", 2048);
    KeepText(lang, "Message6", 2048);
}

void CSubUPnP::LoadFromSettings() {
    const CameraSettings& s = Settings();
    Control<QCheckBox>(1084)->setChecked(s.UPnPE == 1);
    Control<QLineEdit>(1156)->setText(QString::number(s.HttpPort));
    Control<QLineEdit>(1157)->setText(QString::number(s.RTPPort));
    Control<QLineEdit>(1158)->setText(QString::number(s.RTSPPort));
}

int32_t CSubUPnP::PortNumber(const QString& text) {
    const std::string digits = text.toStdString();
    // Typing stops at five characters, but a value read from the camera is
    // shown whole: a number beyond 32 bits stays beyond every range instead
    // of wrapping into one (4294967376 must not read as 80).
    const long long value = std::strtoll(digits.c_str(), nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void CSubUPnP::OnNext() {
    CameraSettings& s = Settings();
    s.UPnPE = Control<QCheckBox>(1084)->isChecked() ? 1 : 0;
    s.HttpPort = PortNumber(Control<QLineEdit>(1156)->text());
    s.RTPPort = PortNumber(Control<QLineEdit>(1157)->text());
    s.RTSPPort = PortNumber(Control<QLineEdit>(1158)->text());

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
        Ask(Kept("Message1"), QString(), mb::kIconStop);
    } else if (!inRange(s.RTPPort, 54)) {
        Ask(Kept("Message2"), orvanta, mb::kIconStop);
    } else if (!inRange(s.RTSPPort, 554)) {
        Ask(Kept("Message3"), orvanta, mb::kIconStop);
    } else if (http == stream) {
        Ask(Kept("Message4"), QString(), mb::kIconStop);
    } else if (http == rtsp) {
        Ask(Kept("Message5"), QString(), mb::kIconStop);
    } else if (stream == rtsp) {
        Ask(Kept("Message6"), QString(), mb::kIconStop);
    } else {
        PostCommand(cmd::kDdnsPage);
    }
}

void CSubUPnP::OnBack() {
    const CameraSettings& s = Settings();
    const auto byLink = [&s] { return s.LinkPPPoE == 1 ? cmd::kPppoePage : cmd::kQuickIpPage; };
    if (s.WizardMode == 1) {
        if (s.HasWireless == 1) {
            if (s.LinkWireless == 1)
                PostCommand(s.UseWPS == 1 ? cmd::kWpsPage : cmd::kApScanPage);
            else
                PostCommand(byLink());
        } else if (s.HasWireless == 0) {
            PostCommand(byLink());
        }
    } else if (s.WizardMode == 0) {
        if (s.CamWirelessIf == 1)
            PostCommand(cmd::kWlanIpPage);
        else if (s.IPType == 0 || s.IPType == 1)
            PostCommand(cmd::kLanIpPage);
        else if (s.IPType == 2)
            PostCommand(cmd::kIspPage);
    }
}

}  // namespace orvanta

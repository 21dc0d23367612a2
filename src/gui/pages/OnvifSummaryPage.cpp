#include "gui/pages/OnvifSummaryPage.h"

#include <QGroupBox>
#include <QLabel>

#include "core/onvif/device/PosixTimeZone.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/ShownText.h"
#include "gui/pages/OnvifStreamsPage.h"

namespace orvanta {

namespace {

constexpr const char* kAddress = "LineAddress";
constexpr const char* kGateway = "LineGateway";
constexpr const char* kDns = "LineDns";
constexpr const char* kHostName = "LineHostName";
constexpr const char* kNtp = "LineNtp";
constexpr const char* kClock = "LineClock";
constexpr const char* kFromDhcp = "FromDhcp";
constexpr const char* kPcTime = "PcTime";    // "%1": this computer's time zone
constexpr const char* kNtpClock = "NtpClock";
constexpr const char* kNone = "None";
constexpr const char* kNothing = "Nothing";
constexpr const char* kFpsUnit = "FpsUnit";          // "%1 fps"
constexpr const char* kBitrateUnit = "BitrateUnit";  // "%1 kbit/s"

QString Joined(const std::vector<std::string>& values) {
    QStringList all;
    for (const std::string& v : values) all << ShownText(v);
    return all.join(QStringLiteral(", "));
}

}  // namespace

OnvifSummaryPage::OnvifSummaryPage(QWidget* parent) : WizardPage(304, "OnvifSummaryPage", parent) {
    QGroupBox* box = AddGroupBox(kChangesBox, Dlu(8, 28, 373, 150), QStringLiteral("What will change"));
    changes_ = AddStatic(kChanges, Dlu(16, 42, 357, 132), QString());
    changes_->setTextFormat(Qt::PlainText);
    changes_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    changes_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QLabel* note = AddStatic(kNote, Dlu(8, 184, 373, 50), QString());
    AddStepTitle(kTitle, "TitleOnvifSummary", kCaptionCapacity, QStringLiteral("Check the Changes"));

    Captions({{box, "Changes"}, {note, "Note", kMessageCapacity}});
    KeptTexts({{kAddress}, {kGateway}, {kDns}, {kHostName}, {kNtp}, {kClock}, {kFromDhcp}, {kPcTime, kMessageCapacity},
               {kNtpClock, kMessageCapacity}, {kNone}, {kNothing, kMessageCapacity}, {kFpsUnit}, {kBitrateUnit}});

    connect(AddBackButton(kBack), &QAbstractButton::clicked, this, &OnvifSummaryPage::OnBack);
    save_ = AddSaveButton(kSave, QStringLiteral("Set up the Camera"), Dlu(293, 242, 96, 25));
    connect(save_, &QAbstractButton::clicked, this, &OnvifSummaryPage::OnSave);
}

QStringList OnvifSummaryPage::ChangeLines() const {
    QStringList lines;
    if (!Context() || !Context()->onvifSetup) return lines;
    const onvif::OnvifDeviceState& now = Context()->onvifSetup->before;
    const onvif::OnvifChange& change = Context()->onvifSetup->change;
    const auto text = [this](const char* key, const char* fallback) {
        const QString kept = Kept(key);
        return kept.isEmpty() ? QString::fromLatin1(fallback) : kept;
    };
    const QString none = text(kNone, "none");
    const auto value = [&none](const QString& v) { return v.isEmpty() ? none : v; };
    const auto line = [&](const char* key, const char* fallback, const QString& from, const QString& to) {
        lines << QStringLiteral("%1: %2 \u2192 %3").arg(text(key, fallback), value(from), value(to));
    };
    const auto address = [&](const onvif::OnvifIpv4& a) {
        return a.dhcp ? text(kFromDhcp, "from a DHCP server")
                      : QStringLiteral("%1/%2").arg(ShownText(a.address)).arg(a.prefix);
    };
    if (change.ipv4) line(kAddress, "Address", address(now.ipv4), address(*change.ipv4));
    if (change.gateway) line(kGateway, "Gateway", ShownText(now.gateway), ShownText(*change.gateway));
    if (change.dns) line(kDns, "DNS", Joined(now.dns), Joined(*change.dns));
    if (change.hostname)
        line(kHostName, "Host name", ShownText(now.hostname), ShownText(*change.hostname));
    if (change.ntp) line(kNtp, "NTP server", Joined(now.ntp), Joined(*change.ntp));
    if (change.syncTime) {
        QString to = text(kPcTime, "%1");
        to.replace(QStringLiteral("%1"), ShownText(onvif::LocalPosixTimeZone()));
        lines << QStringLiteral("%1: %2").arg(text(kClock, "Clock"), to);
    }
    if (change.ntp && !change.syncTime)
        lines << QStringLiteral("%1: %2").arg(text(kClock, "Clock"), text(kNtpClock, "kept by the NTP server"));
    lines << OnvifStreamsPage::ChangeLines(now, change.streams, text(kFpsUnit, "%1 fps"), text(kBitrateUnit, "%1 kbit/s"));
    return lines;
}

void OnvifSummaryPage::LoadFromSettings() {
    const QStringList lines = ChangeLines();
    changes_->setText(lines.isEmpty() ? Kept(kNothing) : lines.join(QLatin1Char('\n')));
    changes_->setAccessibleName(changes_->text());
    save_->setEnabled(!lines.isEmpty());
}

void OnvifSummaryPage::OnBack() { PostCommand(WizardCommand::ShowOnvifStreamsPage); }

void OnvifSummaryPage::OnSave() {
    if (ChangeLines().isEmpty()) return;
    PostCommand(WizardCommand::ApplyOnvifChange);
}

}  // namespace orvanta

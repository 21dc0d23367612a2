#include "gui/pages/OnvifClockPage.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>

#include "core/onvif/soap/ClockSkew.h"
#include "core/onvif/device/PosixTimeZone.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/ShownText.h"

namespace orvanta {

namespace {

constexpr const char* kBehind = "ClockBehind";  // "%1": how far, in the unit keys below
constexpr const char* kAhead = "ClockAhead";
constexpr const char* kSigning = "SigningClock";  // after either, for a clock off by more than a day
constexpr const char* kDays = "Days";
constexpr const char* kHours = "Hours";
constexpr const char* kMinutes = "Minutes";
constexpr const char* kZone = "TimeZone";       // "%1": this computer's zone
constexpr const char* kBadHostName = "BadHostName";
constexpr const char* kNoNtpServer = "NoNtpServer";

bool FarOff(int64_t offsetSeconds) {
    return offsetSeconds >= OnvifClockPage::kLargeOffsetSeconds || offsetSeconds <= -OnvifClockPage::kLargeOffsetSeconds;
}

// RFC 1123 host name label: letters, digits and inner hyphens, up to 63.
bool ValidHostName(const QString& name) {
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    return label.match(name).hasMatch();
}

// A server name or address: no blanks, no control characters, not too long.
bool PlausibleServer(const QString& server) {
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9.:_-]{1,253}$"));
    return allowed.match(server).hasMatch();
}

}  // namespace

OnvifClockPage::OnvifClockPage(QWidget* parent) : WizardPage(303, "OnvifClockPage", parent) {
    QLabel* hostNameLabel = AddStatic(kHostNameLabel, Dlu(30, 38, 105, 10), QStringLiteral("Host name"));
    hostName_ = AddEdit(kHostName, Dlu(140, 36, 180, 13), 63);
    QButtonGroup* clock = AddRadioGroup();
    ntp_ = AddRadio(kNtpRadio, Dlu(30, 64, 340, 12), QStringLiteral("Keep time with an NTP server"), clock);
    QLabel* ntpLabel = AddStatic(kNtpLabel, Dlu(44, 82, 91, 10), QStringLiteral("NTP server"));
    ntpServer_ = AddEdit(kNtpServer, Dlu(140, 80, 180, 13), 253);
    pcTime_ = AddRadio(kPcTimeRadio, Dlu(30, 104, 340, 12), QStringLiteral("Set to this computer's time and time zone"),
                       clock);
    timeZone_ = AddStatic(kTimeZone, Dlu(44, 120, 326, 20), QString());
    timeZone_->setTextFormat(Qt::PlainText);
    clockNote_ = AddStatic(kClockNote, Dlu(30, 150, 340, 40), QString());
    clockNote_->setTextFormat(Qt::PlainText);
    AddStepTitle(kTitle, "TitleOnvifClock", kCaptionCapacity, QStringLiteral("Name and Clock"));

    Captions({{hostNameLabel, "HostName"}, {ntp_, "RadioNtp"}, {ntpLabel, "NtpServer"}, {pcTime_, "RadioPcTime"}});
    KeptTexts({{kBehind, kMessageCapacity},
               {kAhead, kMessageCapacity},
               {kSigning, kMessageCapacity},
               {kDays},
               {kHours},
               {kMinutes},
               {kZone, kMessageCapacity},
               {kBadHostName, kMessageCapacity},
               {kNoNtpServer, kMessageCapacity}});

    WhenChecked(ntp_, [this] { SetNtp(true); });
    WhenChecked(pcTime_, [this] { SetNtp(false); });
    connect(AddBackButton(kBack), &QAbstractButton::clicked, this, &OnvifClockPage::OnBack);
    connect(AddNextButton(kNext), &QAbstractButton::clicked, this, &OnvifClockPage::OnNext);
}

void OnvifClockPage::SetNtp(bool ntp) {
    SetChecked(ntp_, ntp);
    SetChecked(pcTime_, !ntp);
    ntpServer_->setEnabled(ntp);
}

QString OnvifClockPage::OffsetText(int64_t offsetSeconds) const {
    const int64_t off = offsetSeconds < 0 ? -offsetSeconds : offsetSeconds;
    // The largest whole unit that is at least two of itself reads best.
    const char* unit = off >= 2 * 86400 ? kDays : off >= 2 * 3600 ? kHours : kMinutes;
    const int64_t count = unit == kDays ? off / 86400 : unit == kHours ? off / 3600 : off / 60;
    QString amount = Kept(unit);
    if (amount.isEmpty()) amount = QStringLiteral("%1");
    amount.replace(QStringLiteral("%1"), QString::number(count));
    QString text = Kept(offsetSeconds < 0 ? kBehind : kAhead);
    if (text.isEmpty()) text = QStringLiteral("%1");
    text.replace(QStringLiteral("%1"), amount);
    // Logins are signed on the camera's time, far off or not (a camera
    // refuses a token that looks stale to it); the user is told so.
    if (onvif::FarClock(offsetSeconds) && !Kept(kSigning).isEmpty()) text += QLatin1Char(' ') + Kept(kSigning);
    return text;
}

void OnvifClockPage::LoadFromSettings() {
    if (!Context() || !Context()->onvifSetup) return;
    const QuietLoad quiet(this);
    const OnvifSetup& setup = *Context()->onvifSetup;
    const onvif::OnvifDeviceState& now = setup.before;
    const onvif::OnvifChange& change = setup.change;
    hostName_->setText(ShownText(change.hostname.value_or(now.hostname)));
    const std::vector<std::string>& servers = change.ntp ? *change.ntp : now.ntp;
    ntpServer_->setText(servers.empty() ? QString() : ShownText(servers.front()));

    const bool large = FarOff(now.time.offsetSeconds);
    clockNote_->setText(large ? OffsetText(now.time.offsetSeconds) : QString());
    QString zone = Kept(kZone);
    if (zone.isEmpty()) zone = QStringLiteral("%1");
    timeZone_->setText(zone.replace(QStringLiteral("%1"), ShownText(onvif::LocalPosixTimeZone())));
    // A camera that keeps time by NTP (and keeps it well) goes on so;
    // otherwise it takes this computer's time.
    const bool ntp = change.ntp ? true : change.syncTime ? false : now.time.ntp && !servers.empty() && !large;
    SetNtp(ntp);
}

void OnvifClockPage::OnBack() { PostCommand(WizardCommand::ShowOnvifAddressPage); }

void OnvifClockPage::OnNext() {
    if (!Context() || !Context()->onvifSetup) return;
    OnvifSetup& setup = *Context()->onvifSetup;
    const onvif::OnvifDeviceState& now = setup.before;
    const QString name = hostName_->text().trimmed();
    if (!name.isEmpty() && !ValidHostName(name)) {
        Ask(Kept(kBadHostName), QString(), PromptIcon::Warning);
        hostName_->setFocus();
        return;
    }
    const QString server = ntpServer_->text().trimmed();
    if (ntp_->isChecked() && !PlausibleServer(server)) {
        Ask(Kept(kNoNtpServer), QString(), PromptIcon::Warning);
        ntpServer_->setFocus();
        return;
    }
    onvif::OnvifChange& change = setup.change;
    change.hostname.reset();
    if (!name.isEmpty() && name.toStdString() != now.hostname) change.hostname = name.toStdString();
    change.ntp.reset();
    const bool large = FarOff(now.time.offsetSeconds);
    if (ntp_->isChecked()) {
        const std::vector<std::string> servers{server.toStdString()};
        // A camera that lists servers but keeps its clock by hand is
        // switched to them as well.
        if (servers != now.ntp || !now.time.ntp) change.ntp = servers;
        // A clock far off is set now; the server keeps it right after.
        change.syncTime = large;
    } else {
        change.syncTime = true;
    }
    PostCommand(WizardCommand::ShowOnvifStreamsPage);
}

}  // namespace orvanta

#include "gui/pages/SystemPage.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "gui/framework/EditLimit.h"

namespace orvanta {
namespace {

// Longest host name and description the camera takes.
constexpr int kNameChars = 32;
// The server name's field holds 255 characters (the edit once allowed 256).
constexpr int kNtpChars = static_cast<int>(sizeof(CameraSettings::NTPName)) - 1;

const char* const kTimeZones[] = {
    "(GMT-12) Eniwetok",
    "(GMT-11) Midway Islands, Samoa",
    "(GMT-10) Cook Islands,Tahiti",
    "(GMT-9) Alaska",
    "(GMT-8) PST,Pacific US",
    "(GMT-7) MST,Mountain US",
    "(GMT-6) CST,Central US",
    "(GMT-5) EST,Eastern US",
    "(GMT-4) Atlantic, Canada",
    "(GMT-3) Brazo;oa,Buenos Aries",
    "(GMT-2) Mid-Atlantic",
    "(GMT-1) Cape Verdes",
    "(GMT) Greenwich Mean Time,Greenwich",
    "(GMT+1) Berlin,Rome",
    "(GMT+2) Israel,Cairo",
    "(GMT+3) Moscow,Kuwait",
    "(GMT+4) Abu Dhabi",
    "(GMT+5) Islamabad,Karachi",
    "(GMT+6) Almaty,Dhaka",
    "(GMT+7) Bangkok,Jakarta",
    "(GMT+8) Taipei,Hongkong,Beijing",
    "(GMT+9) Tokyo,Osaka",
    "(GMT+10) Sydney,Melbourne,Guam",
    "(GMT+11) Magadan,soloman IS.",
    "(GMT+12)Fiji,Wellington,Aucklan",
};

QString FormatLocal(std::time_t when, const char* format) {
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr) return {};
    char buf[32];
    const std::size_t n = std::strftime(buf, sizeof buf, format, &local);
    return QString::fromLatin1(buf, static_cast<qsizetype>(n));
}

}  // namespace

SystemPage::SystemPage(QWidget* parent) : WizardPage(166, "SystemPage", parent) {
    QButtonGroup* timeGroup = AddRadioGroup();
    QLabel* hostNameLabel = AddStatic(kHostNameLabel, Dlu(20, 34, 100, 10), QStringLiteral("Host Name"));
    hostName_ = AddEdit(kHostName, Dlu(130, 32, 200, 13));
    QLabel* descriptionLabel = AddStatic(kDescriptionLabel, Dlu(20, 52, 100, 10), QStringLiteral("Description"));
    description_ = AddEdit(kDescription, Dlu(130, 50, 200, 13));
    keep_ = AddRadio(kKeepRadio, Dlu(20, 74, 250, 12), QStringLiteral("Keep current date and time "), timeGroup);
    sync_ = AddRadio(kSyncRadio, Dlu(20, 90, 250, 12), QStringLiteral("Sync with computer time "), timeGroup);
    manual_ = AddRadio(kManualRadio, Dlu(20, 106, 250, 12), QStringLiteral("Manual"), timeGroup);
    QLabel* dateLabel = AddStatic(kDateLabel, Dlu(40, 124, 60, 10), QStringLiteral("Date"));
    date_ = AddEdit(kDate, Dlu(100, 122, 90, 13));
    date_->setPlaceholderText(QStringLiteral("[yyyy/mm/dd]"));
    QLabel* timeLabel = AddStatic(kTimeLabel, Dlu(200, 124, 60, 10), QStringLiteral("Time"));
    time_ = AddEdit(kTime, Dlu(260, 122, 90, 13));
    time_->setPlaceholderText(QStringLiteral("[hh:mm:ss]"));
    automatic_ = AddRadio(kAutomaticRadio, Dlu(20, 142, 250, 12), QStringLiteral("Automatic"), timeGroup);
    QLabel* ntpServerLabel = AddStatic(kNtpServerLabel, Dlu(40, 160, 80, 10), QStringLiteral("NTP server:"));
    ntpServer_ = AddEdit(kNtpServer, Dlu(130, 158, 220, 13));
    QLabel* timeZoneLabel = AddStatic(kTimeZoneLabel, Dlu(40, 178, 80, 10), QStringLiteral("Time Zone"));
    timeZone_ = AddCombo(kTimeZone, Dlu(130, 176, 220, 120), true);
    for (const char* zone : kTimeZones) timeZone_->addItem(QString::fromLatin1(zone));
    QLabel* intervalLabel = AddStatic(kIntervalLabel, Dlu(40, 196, 80, 10), QStringLiteral("Update Interval"));
    interval_ = AddCombo(kInterval, Dlu(130, 194, 220, 120), true);
    for (int hours = 0; hours < 24; ++hours) interval_->addItem(QStringLiteral("%1 hour").arg(hours));

    // What the user types fits the record whole: the name limits the camera
    // takes, and for the date, time and server the width of their fields.
    EditLimit::Apply(hostName_, kNameChars, sizeof(CameraSettings::TitleBar));
    EditLimit::Apply(description_, kNameChars, sizeof(CameraSettings::Desp));
    EditLimit::Apply(date_, static_cast<int>(sizeof(CameraSettings::Date)) - 1, sizeof(CameraSettings::Date));
    EditLimit::Apply(time_, static_cast<int>(sizeof(CameraSettings::Time)) - 1, sizeof(CameraSettings::Time));
    EditLimit::Apply(ntpServer_, kNtpChars, sizeof(CameraSettings::NTPName));
    // The typed time zone and interval come from fixed lists: a text typed
    // into the box's edit is not stored anywhere.
    timeZone_->setInsertPolicy(QComboBox::NoInsert);
    interval_->setInsertPolicy(QComboBox::NoInsert);
    timeZone_->setCurrentIndex(kInitialTimeZone);
    interval_->setCurrentIndex(kInitialInterval);

    AddStepTitle(kTitle, "TitleSystem", kCaptionCapacity, QStringLiteral(""));

    // The time label says "ManualTime" as the radio does; the date label has
    // its own key.
    Captions({{hostNameLabel, "Hostname"},
              {descriptionLabel, "Description"},
              {keep_, "KeepCurrentTime"},
              {sync_, "SyncComputerTime"},
              {manual_, "ManualTime"},
              {timeLabel, "ManualTime"},
              {dateLabel, "ManualTimeData"},
              {automatic_, "AutomaticTime"},
              {timeZoneLabel, "NTPTimeZone"},
              {intervalLabel, "NTPTimeUpdata"},
              {ntpServerLabel, "NTPServer"}});
    KeptTexts({{"Message1", kMessageCapacity}, {"Message2", kMessageCapacity}});

    connect(AddBackButton(kBack, QStringLiteral("Back")), &QAbstractButton::clicked, this, &SystemPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &SystemPage::OnNext);
    clock_ = [] { return std::time(nullptr); };
}

void SystemPage::OnInitPage() {
    // The name and description of a camera read earlier must not carry
    // over to the next one unread.
    SetField(Settings().TitleBar, "");
    SetField(Settings().Desp, "");
    hostName_->clear();
    description_->clear();
    ntpServer_->clear();
}

void SystemPage::LoadFromSettings() {
    const CameraSettings& s = Settings();
    hostName_->setText(FieldString(s.TitleBar));
    description_->setText(FieldString(s.Desp));
    dateText_ = FieldString(s.Date);
    timeText_ = FieldString(s.Time);
    date_->setText(dateText_);
    time_->setText(timeText_);
    if (s.NTPEN == 0) {
        // The camera does not tell how its clock was last set: "keep" is
        // the honest choice for every clock that is not on NTP.
        SetChecked(keep_, true);
        for (QRadioButton* r : {sync_, manual_, automatic_}) SetChecked(r, false);
    } else if (s.NTPEN == 1) {
        SetChecked(automatic_, true);
        for (QRadioButton* r : {keep_, sync_, manual_}) SetChecked(r, false);
        // A zone number outside the list leaves the box without a
        // selection, so Next stores -1 rather than a zone never chosen.
        timeZone_->setCurrentIndex(s.Timezone >= 0 && s.Timezone < timeZone_->count() ? s.Timezone : -1);
        ntpServer_->setText(FieldString(s.NTPName));
    }
    // The update interval keeps its selection: the camera's NTPPoll is not
    // shown.
}

void SystemPage::OnBack() {
    PostCommand(Settings().NewEnvironment == 1 ? WizardCommand::ShowOptionPage : WizardCommand::ShowSearchPage);
}

void SystemPage::OnNext() {
    if (hostName_->text().size() > kNameChars) {
        Ask(QStringLiteral("Please Enter Host name less than 32 charactes !"), QStringLiteral("Orvanta"),
            PromptIcon::Warning);
        return;
    }
    if (description_->text().size() > kNameChars) {
        Ask(QStringLiteral("Please Enter Description less than 32 charactes !"), QStringLiteral("Orvanta"),
            PromptIcon::Warning);
        return;
    }
    CameraSettings& s = Settings();
    StoreText(s.TitleBar, hostName_->text());
    StoreText(s.Desp, description_->text());
    StoreTimeMode();
    PostCommand(WizardCommand::ShowIspLinkPage);
}

void SystemPage::StoreTimeMode() {
    CameraSettings& s = Settings();
    if (keep_->isChecked()) {
        s.NTPEN = 0;
    } else if (sync_->isChecked()) {
        s.NTPEN = 0;
        const std::time_t now = clock_ ? clock_() : std::time(nullptr);
        dateText_ = FormatLocal(now, "%Y/%m/%d");
        timeText_ = FormatLocal(now, "%H:%M:%S");
        StoreText(s.Date, dateText_);
        StoreText(s.Time, timeText_);
    } else if (manual_->isChecked()) {
        // Stored as typed: the camera is the judge of the form.
        s.NTPEN = 0;
        dateText_ = date_->text();
        timeText_ = time_->text();
        StoreText(s.Date, dateText_);
        StoreText(s.Time, timeText_);
    } else if (automatic_->isChecked()) {
        s.NTPEN = 1;
        StoreText(s.NTPName, ntpServer_->text());
        s.Timezone = timeZone_->currentIndex();
        s.NTPPoll = interval_->currentIndex();
    }
}

}  // namespace orvanta

#include "gui/pages/OnvifFinishedPage.h"

#include <cctype>
#include <chrono>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QSaveFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "core/onvif/device/ChangeCheck.h"
#include "core/onvif/device/DeviceStateReader.h"
#include "core/onvif/device/PosixTimeZone.h"
#include "core/report/HandoverReport.h"
#include "core/onvif/device/FirmwareImage.h"
#include "gui/controls/Art.h"
#include "gui/framework/CameraPicture.h"
#include "gui/framework/Prompter.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/ShownText.h"
#include "gui/framework/UrlOpener.h"

namespace orvanta {

namespace {

constexpr const char* kNoStreams = "NoStreams";
constexpr const char* kReportTitle = "ReportTitle";
constexpr const char* kReportFailed = "ReportFailed";

// The report's picture: small enough that a site's worth of them makes a
// file a mail takes, large enough to tell cameras apart on paper.
constexpr int kReportPictureWidth = 320;
constexpr const char* kUpgradeChoose = "UpgradeChoose";
constexpr const char* kUpgradeConfirm = "UpgradeConfirm";

// A stream address is copied into a recorder whole: long tokens included.
constexpr qsizetype kUriChars = 4096;

}  // namespace

OnvifFinishedPage::OnvifFinishedPage(QWidget* parent) : WizardPage(305, "OnvifFinishPage", parent) {
    QLabel* addressLabel = AddStatic(kAddressLabel, Dlu(30, 38, 105, 10), QStringLiteral("IP Address"));
    address_ = AddReadOnlyEdit(kAddress, Dlu(140, 36, 120, 13));
    QLabel* macLabel = AddStatic(kMacLabel, Dlu(30, 56, 105, 10), QStringLiteral("MAC Address"));
    mac_ = AddReadOnlyEdit(kMac, Dlu(140, 54, 120, 13));
    QLabel* hostNameLabel = AddStatic(kHostNameLabel, Dlu(30, 74, 105, 10), QStringLiteral("Host name"));
    hostName_ = AddReadOnlyEdit(kHostName, Dlu(140, 72, 120, 13));
    QLabel* streamsLabel = AddStatic(kStreamsLabel, Dlu(30, 96, 340, 10), QStringLiteral("Video streams (RTSP)"));
    streams_ = AddList(kStreams, Dlu(30, 108, 340, 80), {QStringLiteral("RTSP")});
    streams_->setHeaderHidden(true);
    streams_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SetLabelFor(streamsLabel, streams_);
    QPushButton* copy = AddButton(kCopy, Dlu(30, 194, 110, 18), QStringLiteral("Copy"));
    QPushButton* link = AddIconButton(kLink, Dlu(150, 194, 150, 18), QStringLiteral("Open the web page"),
                                      art::kIconLink, ToolbarButton::IconSide::Left);
    // Beside the fields: which camera this is, as it sees its place.
    picture_ = AddStatic(kPicture, Dlu(268, 34, 110, 58), QString());
    picture_->setAlignment(Qt::AlignCenter);
    QPushButton* report = AddButton(kSaveReport, Dlu(306, 194, 72, 18), QStringLiteral("Save Report\u2026"));
    QLabel* firmwareLabel = AddStatic(kFirmwareLabel, Dlu(30, 222, 105, 10), QStringLiteral("Firmware"));
    firmware_ = AddReadOnlyEdit(kFirmware, Dlu(140, 220, 120, 13));
    QPushButton* upgrade = AddButton(kUpgrade, Dlu(270, 218, 100, 18), QStringLiteral("Upgrade Firmware\u2026"));
    AddStepTitle(kTitle, "TitleOnvifFinish", kCaptionCapacity, QStringLiteral("The Camera Is Set Up"));

    Captions({{addressLabel, "IP"},
              {macLabel, "MAC"},
              {hostNameLabel, "HostName"},
              {streamsLabel, "Streams"},
              {copy, "BtnCopy"},
              {link, "BtnLink"},
              {report, "BtnSaveReport"},
              {firmwareLabel, "Firmware"},
              {upgrade, "BtnUpgrade"}});
    KeptTexts({{kNoStreams, kMessageCapacity},
               {kReportTitle, kMessageCapacity},
               {kReportFailed, kMessageCapacity},
               {kUpgradeChoose},
               {kUpgradeConfirm, kMessageCapacity}});

    connect(copy, &QAbstractButton::clicked, this, &OnvifFinishedPage::OnCopy);
    connect(link, &QAbstractButton::clicked, this, &OnvifFinishedPage::OnLink);
    connect(report, &QAbstractButton::clicked, this, &OnvifFinishedPage::OnSaveReport);
    connect(upgrade, &QAbstractButton::clicked, this, &OnvifFinishedPage::OnUpgrade);
    connect(AddFinishButton(kFinish), &QAbstractButton::clicked, this, [this] { PostCommand(WizardCommand::StartOver); });
}

void OnvifFinishedPage::ApplyLanguage(const LanguageStrings& lang) {
    WizardPage::ApplyLanguage(lang);
    if (Context() && Context()->onvifSetup) LoadFromSettings();
}

QString OnvifFinishedPage::WebAddress() const {
    return address_->text().isEmpty() ? QString() : QStringLiteral("http://%1/").arg(address_->text());
}

void OnvifFinishedPage::LoadFromSettings() {
    if (!Context() || !Context()->onvifSetup) return;
    const OnvifSetup& setup = *Context()->onvifSetup;
    const onvif::OnvifDeviceState& now = setup.after;
    SetControlText(address_, ShownText(now.ipv4.address));
    SetControlText(mac_, ShownText(now.mac));
    SetControlText(hostName_, ShownText(now.hostname));
    SetControlText(firmware_, ShownText(now.firmware.empty() ? setup.before.firmware : now.firmware));
    streams_->clear();
    for (const std::string& uri : now.streamUris) {
        auto* row = new QTreeWidgetItem(streams_, {ShownText(uri, kUriChars)});
        row->setToolTip(0, PlainToolTip(row->text(0)));
    }
    if (now.streamUris.empty()) {
        auto* row = new QTreeWidgetItem(streams_, {Kept(kNoStreams)});
        row->setFlags(Qt::ItemIsEnabled);
    }
    if (Context()->language)
        ShowCameraPicture(picture_, setup.picture, PictureLine(*Context()->language, setup.pictureResult, setup.pictureNote));
}

std::string OnvifFinishedPage::ReportHtml() const {
    report::ReportHeading heading;
    const OnvifSetup& setup = *Context()->onvifSetup;
    const onvif::OnvifDeviceState& now = setup.after;
    const std::string when = onvif::UtcText(std::chrono::system_clock::now());
    heading.written = when;
    heading.source = "Orvanta";
    report::ReportCamera c;
    c.kind = "ONVIF";
    c.address = now.ipv4.address;
    c.mac = now.mac;
    c.hostname = now.hostname;
    c.maker = now.manufacturer;
    c.model = now.model;
    c.firmware = now.firmware;
    c.serial = now.serial;
    c.streams = now.streamUris;
    c.status = "done";
    for (const onvif::FieldChange& f : onvif::PlannedChanges(setup.before, setup.change, onvif::LocalPosixTimeZone()))
        c.changes.push_back(f.field + ": " + f.before + " \u2192 " + f.after);
    c.when = when;
    c.jpeg = ThumbnailJpeg(setup.picture, kReportPictureWidth);
    if (c.jpeg.empty()) c.noPicture = setup.pictureResult.ok() ? setup.pictureNote.toStdString() : setup.pictureResult.detail;
    return report::WriteHandoverReport(heading, {c});
}

bool OnvifFinishedPage::SaveReport(const QString& path) const {
    if (!Context() || !Context()->onvifSetup) return false;
    const std::string html = ReportHtml();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(html.data(), static_cast<qint64>(html.size())) != static_cast<qint64>(html.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void OnvifFinishedPage::OnSaveReport() {
    if (!Context() || !Context()->prompter || !Context()->onvifSetup) return;
    QFileDialog dialog(this, Kept(kReportTitle).isEmpty() ? QStringLiteral("Save Report") : Kept(kReportTitle));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("HTML (*.html)")});
    dialog.setDefaultSuffix(QStringLiteral("html"));
    // The camera's host name as the file's, reduced to what names no folder.
    std::string name = Context()->onvifSetup->after.hostname;
    for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '-' && ch != '_') ch = '_';
    dialog.selectFile(QString::fromStdString(name.empty() ? std::string("camera") : name) + QStringLiteral(".html"));
    if (Context()->prompter->RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().first();
    if (!SaveReport(path))
        Ask(Kept(kReportFailed).isEmpty() ? path : Kept(kReportFailed) + QStringLiteral("\n") + path,
            QStringLiteral("Orvanta"), PromptIcon::Critical);
}

void OnvifFinishedPage::OnCopy() {
    if (!Context() || !Context()->onvifSetup) return;
    const std::vector<std::string>& uris = Context()->onvifSetup->after.streamUris;
    QStringList chosen;
    for (const QTreeWidgetItem* row : streams_->selectedItems()) chosen << row->text(0);
    // Nothing selected copies them all, one a line.
    if (chosen.isEmpty())
        for (const std::string& uri : uris) chosen << ShownText(uri, kUriChars);
    if (!chosen.isEmpty()) QApplication::clipboard()->setText(chosen.join(QLatin1Char('\n')));
}

void OnvifFinishedPage::OnLink() {
    if (WebAddress().isEmpty() || !Context()) return;
    // The camera may have moved out of every subnet of the PC.
    if (Context()->sendCommand) Context()->sendCommand(WizardCommand::EnsureOnvifReachable);
    if (Context()->urlOpener) Context()->urlOpener->Open(WebAddress());
}

void OnvifFinishedPage::OnUpgrade() {
    if (!Context() || !Context()->prompter || !Context()->onvifSetup) return;
    QFileDialog chooser(this, Kept(kUpgradeChoose).isEmpty() ? QStringLiteral("Firmware") : Kept(kUpgradeChoose));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setFileMode(QFileDialog::ExistingFile);
    if (Context()->prompter->RunModal(chooser) != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const QString path = chooser.selectedFiles().first();
    // Checked here as the worker will check it, so a wrong file is said
    // before the user is asked anything more.
    onvif::FirmwareImage image;
    if (const onvif::OnvifResult r = onvif::FirmwareImage::Open(path.toStdString(), image); !r.ok()) {
        Ask(ShownText(r.detail, 1024), QStringLiteral("Orvanta"), PromptIcon::Critical);
        return;
    }
    const QString name = QFileInfo(path).fileName();
    if (Ask(Kept(kUpgradeConfirm).arg(name), QStringLiteral("Orvanta"), PromptIcon::Question, PromptButtons::YesNo) !=
        PromptAnswer::Yes)
        return;
    Context()->onvifSetup->firmwareFile = path.toStdString();
    PostCommand(WizardCommand::UpgradeOnvifFirmware);
}

}  // namespace orvanta

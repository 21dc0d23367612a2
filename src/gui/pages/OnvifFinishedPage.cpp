#include "gui/pages/OnvifFinishedPage.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "core/onvif/device/FirmwareImage.h"
#include "gui/controls/Art.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/ShownText.h"
#include "gui/framework/UrlOpener.h"

namespace orvanta {

namespace {

constexpr const char* kNoStreams = "NoStreams";
constexpr const char* kUpgradeChoose = "UpgradeChoose";
constexpr const char* kUpgradeConfirm = "UpgradeConfirm";

// A stream address is copied into a recorder whole: long tokens included.
constexpr qsizetype kUriChars = 4096;

}  // namespace

OnvifFinishedPage::OnvifFinishedPage(QWidget* parent) : WizardPage(305, "OnvifFinishPage", parent) {
    const auto readOnly = [this](int id, QRect dlu) {
        QLineEdit* e = AddEdit(id, dlu, 0);
        e->setReadOnly(true);
        return e;
    };
    QLabel* addressLabel = AddStatic(kAddressLabel, Dlu(30, 38, 105, 10), QStringLiteral("IP Address"));
    address_ = readOnly(kAddress, Dlu(140, 36, 230, 13));
    QLabel* macLabel = AddStatic(kMacLabel, Dlu(30, 56, 105, 10), QStringLiteral("MAC Address"));
    mac_ = readOnly(kMac, Dlu(140, 54, 230, 13));
    QLabel* hostNameLabel = AddStatic(kHostNameLabel, Dlu(30, 74, 105, 10), QStringLiteral("Host name"));
    hostName_ = readOnly(kHostName, Dlu(140, 72, 230, 13));
    QLabel* streamsLabel = AddStatic(kStreamsLabel, Dlu(30, 96, 340, 10), QStringLiteral("Video streams (RTSP)"));
    streams_ = AddList(kStreams, Dlu(30, 108, 340, 80), {QStringLiteral("RTSP")});
    streams_->setHeaderHidden(true);
    streams_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SetLabelFor(streamsLabel, streams_);
    QPushButton* copy = AddButton(kCopy, Dlu(30, 194, 110, 18), QStringLiteral("Copy"));
    QPushButton* link = AddIconButton(kLink, Dlu(150, 194, 150, 18), QStringLiteral("Open the web page"),
                                      art::kIconLink, ToolbarButton::IconSide::Left);
    QLabel* firmwareLabel = AddStatic(kFirmwareLabel, Dlu(30, 222, 105, 10), QStringLiteral("Firmware"));
    firmware_ = readOnly(kFirmware, Dlu(140, 220, 120, 13));
    QPushButton* upgrade = AddButton(kUpgrade, Dlu(270, 218, 100, 18), QStringLiteral("Upgrade Firmware\u2026"));
    AddStepTitle(kTitle, "TitleOnvifFinish", kCaptionCapacity, QStringLiteral("The Camera Is Set Up"));

    Captions({{addressLabel, "IP"},
              {macLabel, "MAC"},
              {hostNameLabel, "HostName"},
              {streamsLabel, "Streams"},
              {copy, "BtnCopy"},
              {link, "BtnLink"},
              {firmwareLabel, "Firmware"},
              {upgrade, "BtnUpgrade"}});
    KeptTexts({{kNoStreams, kMessageCapacity}, {kUpgradeChoose}, {kUpgradeConfirm, kMessageCapacity}});

    connect(copy, &QAbstractButton::clicked, this, &OnvifFinishedPage::OnCopy);
    connect(link, &QAbstractButton::clicked, this, &OnvifFinishedPage::OnLink);
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

#include "gui/dialogs/PlanDialog.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <fstream>
#include <sstream>

#include "core/i18n/LanguageStrings.h"
#include "core/onvif/device/DeviceStateReader.h"
#include "core/onvif/device/NetworkOnvifService.h"
#include "core/provision/FirmwarePlan.h"
#include "core/report/ReportReading.h"
#include "gui/framework/CameraPicture.h"
#include "gui/framework/Prompter.h"
#include "gui/framework/ShownText.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

namespace {

using provision::RowStatus;

enum Column { kColCamera, kColState, kColChange };

// The report's pictures, made small on the worker.
constexpr QSize kReportPicture{320, 180};

QPushButton* AddButton(QWidget* parent, QHBoxLayout* row, const char* name, const QString& text) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    WizardPage::SetControlText(b, text);
    row->addWidget(b);
    return b;
}

// Everything shown here that came from a camera or a file is plain text.
QString Plain(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

PlanDialog::PlanDialog(const std::string& languageFilePath, QStringList selectedCameras, hostnet::HostNetwork* net,
                             Prompter* prompter, QWidget* parent)
    : QDialog(parent),
      languageFilePath_(languageFilePath),
      selectedCameras_(std::move(selectedCameras)),
      net_(net),
      prompter_(prompter) {
    setObjectName(QStringLiteral("DlgProvision"));
    setModal(true);
    resize(640, 420);
    const LanguageStrings lang(languageFilePath);
    const auto text = [&lang](const char* key) { return WizardPage::Text(lang, "DlgProvision", key, kCaptionCapacity); };
    setWindowTitle(text("Caption"));
    setAccessibleName(windowTitle());

    auto* layout = new QVBoxLayout(this);
    planPath_ = new QLabel(this);
    planPath_->setObjectName(QStringLiteral("planPath"));
    planPath_->setTextFormat(Qt::PlainText);
    planPath_->setAccessibleName(text("PlanFile"));
    layout->addWidget(planPath_);
    problems_ = new QLabel(this);
    problems_->setObjectName(QStringLiteral("problems"));
    problems_->setTextFormat(Qt::PlainText);
    problems_->setWordWrap(true);
    problems_->setAccessibleName(text("Problems"));
    problems_->hide();
    layout->addWidget(problems_);
    rows_ = new QTreeWidget(this);
    rows_->setObjectName(QStringLiteral("rows"));
    rows_->setAccessibleName(text("Caption"));
    rows_->setRootIsDecorated(false);
    rows_->setHeaderLabels({text("ColCamera"), text("ColState"), text("ColChange")});
    rows_->header()->setStretchLastSection(true);
    rows_->setColumnWidth(kColCamera, 160);
    rows_->setColumnWidth(kColState, 120);
    layout->addWidget(rows_, 1);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setAccessibleName(text("ColState"));
    progress_->setValue(0);
    layout->addWidget(progress_);
    auto* buttons = new QHBoxLayout;
    load_ = AddButton(this, buttons, "load", text("BtnLoad"));
    buttons->addStretch(1);
    run_ = AddButton(this, buttons, "run", text("BtnRun"));
    report_ = AddButton(this, buttons, "saveReport", text("BtnSaveReport"));
    cancel_ = AddButton(this, buttons, "cancel", text("BtnCancel"));
    close_ = AddButton(this, buttons, "close", text("BtnClose"));
    layout->addLayout(buttons);
    run_->setEnabled(false);
    report_->setEnabled(false);
    cancel_->setEnabled(false);
    reportFailedText_ = WizardPage::Text(lang, "DlgProvision", "ReportFailed", kMessageCapacity);

    for (const char* key : {"StatusPending", "StatusDone", "StatusUnchanged", "StatusWouldChange", "StatusNotFound",
                            "StatusRefused", "StatusUnreachable", "StatusFailed", "StatusVerifyMismatch"})
        statusTexts_ << text(key);
    checkingText_ = text("Checking");

    connect(load_, &QPushButton::clicked, this, &PlanDialog::OnLoad);
    connect(run_, &QPushButton::clicked, this, &PlanDialog::OnRun);
    connect(cancel_, &QPushButton::clicked, this, &PlanDialog::OnCancel);
    connect(report_, &QPushButton::clicked, this, &PlanDialog::OnSaveReport);
    connect(close_, &QPushButton::clicked, this, &QDialog::close);
}

PlanDialog::~PlanDialog() { StopWorker(); }

void PlanDialog::StopWorker() {
    reportCancelled_ = true;
    if (provisioner_) provisioner_->Cancel();
    if (worker_.joinable()) worker_.join();
}

void PlanDialog::closeEvent(QCloseEvent* event) {
    // Closing during a run cancels it; the dialog waits for the workers'
    // current step so that their temporary addresses are removed.
    StopWorker();
    event->accept();
}

QString PlanDialog::StatusText(RowStatus status) const {
    const int i = static_cast<int>(status);
    const QString t = i < statusTexts_.size() ? statusTexts_[i] : QString();
    return t.isEmpty() ? QString::fromLatin1(provision::StatusName(status)) : t;
}

void PlanDialog::OnLoad() {
    QFileDialog chooser(this, windowTitle(), QString(), QStringLiteral("Plan (*.csv *.json);;* (*)"));
    chooser.setObjectName(QStringLiteral("planChooser"));
    chooser.setFileMode(QFileDialog::ExistingFile);
    const int answer = prompter_ ? prompter_->RunModal(chooser) : chooser.exec();
    if (answer == QDialog::Accepted && !chooser.selectedFiles().isEmpty()) LoadPlan(chooser.selectedFiles().front());
}

bool PlanDialog::LoadPlan(const QString& path) {
    if (Busy()) return false;
    planPath_->setText(path);
    rows_->clear();
    problems_->clear();
    problems_->hide();
    run_->setEnabled(false);
    report_->setEnabled(false);
    checked_ = false;
    ran_ = false;
    std::vector<std::string> problems;
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream content;
    if (in) content << in.rdbuf();
    provision::Plan plan;
    if (!in) problems.push_back("cannot read " + path.toStdString());
    else if (provision::ReadPlan(content.str(), plan, problems)) {
        // Firmware images and the passwords of new users come from files
        // named relative to the plan's folder, checked with the rest.
        provision::ReadFilesBesidePlan(plan, QFileInfo(path).absolutePath().toStdString(), problems);
    }
    if (!problems.empty()) {
        QString all;
        for (const std::string& p : problems) all += Plain(p) + QLatin1Char('\n');
        problems_->setText(all.trimmed());
        problems_->show();
        return false;
    }
    // Cameras chosen in the search list narrow the plan to their rows.
    if (!selectedCameras_.isEmpty()) {
        std::vector<provision::PlanRow> kept;
        for (const provision::PlanRow& row : plan.rows)
            if ((!row.mac.empty() && selectedCameras_.contains(Plain(row.mac), Qt::CaseInsensitive)) ||
                (!row.uuid.empty() && selectedCameras_.contains(Plain(row.uuid), Qt::CaseInsensitive)))
                kept.push_back(row);
        plan.rows = std::move(kept);
    }
    plan_ = std::move(plan);
    for (const provision::PlanRow& row : plan_.rows) {
        auto* item = new QTreeWidgetItem(rows_);
        item->setText(kColCamera, Plain(row.Name()));
        item->setText(kColState, checkingText_);
    }
    if (!plan_.rows.empty()) Start(true);
    return true;
}

void PlanDialog::OnRun() {
    if (Busy() || !checked_) return;
    Start(false);
}

void PlanDialog::OnCancel() {
    if (provisioner_) provisioner_->Cancel();
    cancel_->setEnabled(false);
}

void PlanDialog::Start(bool dryRun) {
    provision::ProvisionOptions options;
    options.dryRun = dryRun;
    // ONVIF rows of a mixed plan are set up as the command line sets them up.
    options.onvifService = [](const provision::ProvisionOptions::OnvifReach& reach) {
        return onvif::MakeNetworkOnvifService({}, reach);
    };
    provisioner_ = std::make_unique<provision::Provisioner>(plan_, options, net_);
    progress_->setRange(0, static_cast<int>(plan_.rows.size()));
    progress_->setValue(0);
    load_->setEnabled(false);
    run_->setEnabled(false);
    report_->setEnabled(false);
    cancel_->setEnabled(true);
    // Results come from the workers; the rows are changed on this thread only.
    provisioner_->SetProgress([this](std::size_t row, const provision::RowResult& result, const std::string& step) {
        if (!step.empty()) return;
        QMetaObject::invokeMethod(this, [this, row, result] { ShowRow(row, result); }, Qt::QueuedConnection);
    });
    provision::Provisioner* p = provisioner_.get();
    worker_ = std::thread([this, p] {
        std::vector<provision::RowResult> results;
        std::string why;
        const bool started = p->Run(results, why);
        QMetaObject::invokeMethod(this, [this, started, why, results] {
            results_ = results;
            Finished(started, Plain(why));
        }, Qt::QueuedConnection);
    });
}

void PlanDialog::ShowRow(std::size_t row, const provision::RowResult& result) {
    QTreeWidgetItem* item = rows_->topLevelItem(static_cast<int>(row));
    if (!item) return;
    item->setText(kColState, StatusText(result.status));
    // Values and the detail are the camera's words: one line each, and
    // shown literally in the tooltip too.
    QString change;
    for (const provision::FieldChange& c : result.changes)
        change += (change.isEmpty() ? QString() : QStringLiteral("; ")) + Plain(c.key) + QStringLiteral(": ") +
                  ShownText(c.before) + QStringLiteral(" \u2192 ") + ShownText(c.after);
    if (!result.detail.empty())
        change += (change.isEmpty() ? QString() : QStringLiteral("; ")) +
                  ShownText(result.detail, static_cast<qsizetype>(kMessageCapacity));
    item->setText(kColChange, change);
    item->setToolTip(kColChange, PlainToolTip(change));
    progress_->setValue(progress_->value() + 1);
}

void PlanDialog::Finished(bool started, const QString& why) {
    if (worker_.joinable()) worker_.join();
    const bool wasDryRun = !checked_;
    checked_ = true;
    load_->setEnabled(true);
    cancel_->setEnabled(false);
    if (!started) {
        problems_->setText(why);
        problems_->show();
        return;
    }
    ran_ = ran_ || !wasDryRun;
    report_->setEnabled(ran_);
    // Run is offered after the dry run, when some camera has something to change.
    bool anyChange = false;
    for (const provision::RowResult& r : results_) anyChange |= r.status == RowStatus::WouldChange;
    run_->setEnabled(wasDryRun && anyChange);
}

void PlanDialog::OnSaveReport() {
    if (Busy() || !ran_) return;
    QFileDialog chooser(this, report_->text(), QString(), QStringLiteral("HTML (*.html)"));
    chooser.setObjectName(QStringLiteral("reportChooser"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setDefaultSuffix(QStringLiteral("html"));
    chooser.selectFile(QStringLiteral("handover.html"));
    const int answer = prompter_ ? prompter_->RunModal(chooser) : chooser.exec();
    if (answer == QDialog::Accepted && !chooser.selectedFiles().isEmpty()) SaveReportTo(chooser.selectedFiles().front());
}

void PlanDialog::SaveReportTo(const QString& path) {
    if (Busy() || !ran_) return;
    load_->setEnabled(false);
    report_->setEnabled(false);
    reportCancelled_ = false;
    // Copies for the worker: the dialog may load another plan meanwhile.
    worker_ = std::thread([this, plan = plan_, results = results_, path] {
        std::vector<report::ReportCamera> rows = report::RowsOfPlanRun(plan, results);
        // Each ONVIF camera as it is now, with the row's own login.
        for (std::size_t i = 0; i < rows.size() && i < plan.rows.size(); ++i) {
            if (reportCancelled_) return;
            if (plan.rows[i].kind != provision::CameraKind::Onvif || rows[i].address.empty()) continue;
            const onvif::OnvifCredentials login{plan.rows[i].user.value_or(""), plan.rows[i].password.value_or("")};
            const auto service = onvif::MakeNetworkOnvifService({}, [](const std::string&, int) { return true; });
            onvif::OnvifDevice device;
            std::string unusable;
            if (!onvif::ParseDevice(rows[i].address, device, unusable)) continue;
            // The camera the run set up, and no other that took its address since.
            device.mac = rows[i].mac;
            onvif::OnvifResult failure;
            if (!report::ReadIntoReport(*service, device, login, true, rows[i], failure)) {
                rows[i].note += (rows[i].note.empty() ? "" : "; ") + std::string("not read: ") + failure.detail;
                continue;
            }
            QString why;
            const QImage picture = DecodeCameraPicture(rows[i].jpeg, kReportPicture, why);
            rows[i].jpeg = ThumbnailJpeg(picture, kReportPicture.width());
            if (rows[i].jpeg.empty()) rows[i].noPicture = "the picture cannot be shown";
        }
        report::ReportHeading heading;
        heading.written = onvif::UtcText(std::chrono::system_clock::now());
        heading.source = "a plan run";
        const std::string html = report::WriteHandoverReport(heading, rows);
        QSaveFile file(path);
        const bool written = file.open(QIODevice::WriteOnly) &&
                             file.write(html.data(), static_cast<qint64>(html.size())) == static_cast<qint64>(html.size()) &&
                             file.commit();
        QMetaObject::invokeMethod(this, [this, written, path] { ReportDone(written, path); }, Qt::QueuedConnection);
    });
}

void PlanDialog::ReportDone(bool written, const QString& path) {
    if (worker_.joinable()) worker_.join();
    load_->setEnabled(true);
    report_->setEnabled(ran_);
    if (written) return;
    problems_->setText((reportFailedText_.isEmpty() ? QStringLiteral("The report could not be written.") : reportFailedText_) +
                       QLatin1Char('\n') + path);
    problems_->show();
}

}  // namespace orvanta

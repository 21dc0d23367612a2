// "Set up from a plan": loads a plan file, looks for its cameras and shows
// what would change on each (a dry run), then on Run sets them up with a
// progress bar and a status per row. The work is the command line's
// (core/provision) on a worker thread; Cancel stops it at the next step and
// every temporary address goes when the run ends. After a run, Save Report
// writes the handover report of its cameras, each ONVIF camera read again
// (its picture taken) on the worker.
#pragma once

#include <QDialog>
#include <QStringList>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/provision/PlanFile.h"
#include "core/provision/Provisioner.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace orvanta {

class Prompter;
namespace hostnet {
class HostNetwork;
}

class PlanDialog : public QDialog {
    Q_OBJECT
public:
    // `selectedCameras`: the MACs and endpoint references of the cameras
    // chosen in the search list; when not empty, only the plan's rows for
    // them are used. `net` may be null. The file
    // chooser runs through `prompter` (when given) like every modal dialog.
    PlanDialog(const std::string& languageFilePath, QStringList selectedCameras, hostnet::HostNetwork* net,
                  Prompter* prompter = nullptr, QWidget* parent = nullptr);
    ~PlanDialog() override;

    // Reads and checks the plan; a good one starts the dry run at once.
    // False when the plan has problems (they are listed, Run stays off).
    bool LoadPlan(const QString& path);

    QTreeWidget* Rows() const { return rows_; }
    QLabel* Problems() const { return problems_; }
    QPushButton* RunButton() const { return run_; }
    QProgressBar* Progress() const { return progress_; }
    QPushButton* ReportButton() const { return report_; }
    // Writes the report of the last run to `path` on the worker; the
    // dialog says when it could not. Nothing happens before a run.
    void SaveReportTo(const QString& path);
    bool Busy() const { return worker_.joinable(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void OnLoad();
    void OnRun();
    void OnCancel();
    void OnSaveReport();
    void ReportDone(bool written, const QString& path);
    void Start(bool dryRun);
    void ShowRow(std::size_t row, const provision::RowResult& result);
    void Finished(bool started, const QString& why);
    void StopWorker();
    QString StatusText(provision::RowStatus status) const;

    QStringList statusTexts_;  // by RowStatus
    QString checkingText_;

    std::string languageFilePath_;
    QStringList selectedCameras_;
    hostnet::HostNetwork* net_;
    Prompter* prompter_;
    provision::Plan plan_;
    std::unique_ptr<provision::Provisioner> provisioner_;
    std::thread worker_;
    bool checked_ = false;  // the dry run has run on this plan
    bool ran_ = false;      // a run (not a dry run) has ended: there is something to report
    // Set when the dialog closes while the report's cameras are read: the
    // reading stops at the next camera.
    std::atomic<bool> reportCancelled_{false};
    QString reportFailedText_;
    std::vector<provision::RowResult> results_;

    QLabel* planPath_;
    QLabel* problems_;
    QTreeWidget* rows_;
    QProgressBar* progress_;
    QPushButton* load_;
    QPushButton* run_;
    QPushButton* report_;
    QPushButton* cancel_;
    QPushButton* close_;
};

}  // namespace orvanta

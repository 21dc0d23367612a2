// The camera search page: the list of cameras found on the local network, a
// button that starts or stops a search, and Next/Exit. Under the button a
// line says how many cameras a search has found so far, and why a search
// that ended found none. The list's context menu copies a camera's address
// and exports the list (CSV or JSON, the command-line tool's format).
// Controls carry their template ids as object names (see CWizardPage).
//
// A search is six ticks of the search timer, each one call of the page's own
// discovery client. The client is made on the first tick that needs it, so a
// wizard that never searches opens no sockets, and let go when the search
// ends, so that what a large search (or a flood) took (its sockets' queues,
// its list and records) goes back at once; the rows stay. Tests replace the
// call with a scripted one (SetSearchFunction).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "gui/pages/CWizardPage.h"

class QMenu;
class QTimer;
class QTreeWidgetItem;

namespace orvanta {

namespace discovery {
class CVorel;
class PosixDiscoveryTransport;
struct DiscoveredCamera;
}  // namespace discovery

class CSubSearchNet : public CWizardPage {
    Q_OBJECT
public:
    // The shape of CVorel::Search: -1 failed, 0 unchanged, 1 records rebuilt.
    using SearchFunction =
        std::function<int(discovery::DiscoveredCamera** records, int* count, int* capacity, int restart)>;

    explicit CSubSearchNet(QWidget* parent = nullptr);
    ~CSubSearchNet() override;

    void ApplyLanguage(const LanguageStrings& lang) override;
    // Prepare before the page is shown: a plain search hides Next and the note.
    void LoadFromSettings() override;

    void SetSearchFunction(SearchFunction search) { search_ = std::move(search); }
    // True when the last search request could leave through no card at all
    // (asked after the first tick, which sends it). The page's own client
    // answers from its transport; tests script it.
    void SetSendFailedFunction(std::function<bool()> failed) { sendFailed_ = std::move(failed); }

    bool Searching() const { return searching_; }
    int TickCount() const { return ticks_; }

    // The list's context menu for a click at `pos` (viewport coordinates);
    // the caller owns it. Its actions are named "copyAddress" and
    // "exportList".
    QMenu* MakeContextMenu(const QPoint& pos);
    // Writes the cameras of the last search to `path`: JSON when the name
    // ends in ".json", CSV otherwise. False when the file cannot be written.
    bool ExportList(const QString& path) const;

protected slots:
    virtual void OnBack();
    virtual void OnNext();
    void OnToggleSearch();
    void OnSearchTick();
    void OnOpenCamera();
    void OnContextMenu(const QPoint& pos);
    void OnExport();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void StopSearch();
    void ShowStatus();
    bool SendFailedEverywhere() const;
    void SetSearchCaption(const QString& caption);
    int RunSearch(discovery::DiscoveredCamera** records, int* count, int* capacity, int restart);
    void FillRows(const discovery::DiscoveredCamera* records, int count);
    // Copies the address, mask and MAC of a row into the record.
    void StoreAddressOf(const QTreeWidgetItem& row);

    QTreeWidget* list_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer* timer_ = nullptr;
    bool searching_ = false;
    int ticks_ = 0;
    QString idleCaption_ = QStringLiteral("Start find");
    QString searchingCaption_ = QStringLiteral("Finding...");
    QString alternateCaption_ = QStringLiteral("Stop Finding...");
    QString nextCaption_ = QStringLiteral("Next");
    // The cameras the list shows, as found: the export writes these.
    std::vector<discovery::DiscoveredCamera> found_;
    SearchFunction search_;
    std::function<bool()> sendFailed_;
    std::shared_ptr<discovery::PosixDiscoveryTransport> transport_;
    std::unique_ptr<discovery::CVorel> vorel_;
};

}  // namespace orvanta

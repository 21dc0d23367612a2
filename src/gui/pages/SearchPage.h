// The camera search page: the list of cameras found on the local network
// (ours and other makers' ONVIF cameras, a column saying which), a
// button that starts or stops a search, and Next/Exit. Under the button a
// line says how many cameras a search has found so far, and why a search
// that ended found none. The list's context menu copies a camera's address,
// exports the list (CSV or JSON, the command-line tool's format) and sets
// the selected cameras up from a plan.
//
// "Search other networks..." asks address ranges beyond the PC's links for
// ONVIF cameras (see RangeSurvey), on a worker thread of the page's own;
// each camera joins the list as it is heard.
//
// A search is six ticks of the search timer, each one search step of the
// camera service and a look at the ONVIF search begun on the first. The page ends the search when it stops, so that what a
// large search (or a flood) took (its sockets' queues, its list and records)
// goes back at once; the rows stay.
#pragma once

#include <atomic>
#include <functional>
#include <span>
#include <thread>
#include <vector>

#include "core/camera/CameraService.h"
#include "core/onvif/OnvifTypes.h"
#include "core/onvif/search/AddressRanges.h"
#include "gui/framework/WizardPage.h"

class QMenu;
class QTimer;
class QTreeWidgetItem;

namespace orvanta {

namespace discovery {
struct DiscoveredCamera;
}

class SearchPage : public WizardPage {
    Q_OBJECT
public:
    enum Id : int {
        kListLabel = 1346,
        kList = 1011,
        kSearchButton = 1088,
        kNote = 1175,
        kTitle = 1237,
        kBack = 1037,
        kNext = 1110,
        kOtherNetworksButton = 1401,
    };

    // Asks `ranges` for ONVIF devices, calling `heard` for each as it is
    // heard, until done or `stop` says so. Runs on the page's worker.
    using RangeSurvey = std::function<void(const std::vector<onvif::AddressRange>& ranges,
                                           const std::function<void(const onvif::DiscoveredOnvifDevice&)>& heard,
                                           const std::function<bool()>& stop)>;

    explicit SearchPage(QWidget* parent = nullptr);
    ~SearchPage() override;

    void ApplyLanguage(const LanguageStrings& lang) override;
    // Prepare before the page is shown: a plain search hides Next and the note.
    void LoadFromSettings() override;

    bool Searching() const { return searching_; }
    bool SearchingRanges() const { return rangeWorker_.joinable() && !rangeDone_; }
    // Tests put a scripted survey in place of the network's.
    void SetRangeSurvey(RangeSurvey survey) { rangeSurvey_ = std::move(survey); }
    int TickCount() const { return ticks_; }

    // The list's context menu for a click at `pos` (viewport coordinates);
    // the caller owns it. Its actions are named "copyAddress", "exportList",
    // "setUpFromPlan" and "showPicture" (an ONVIF camera logged in to).
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
    void OnSearchOtherNetworks();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void StopSearch();
    void ShowStatus();
    void SetSearchCaption(const QString& caption);
    SearchResult RunSearch(bool restart);
    void FillRows(std::span<const discovery::DiscoveredCamera> cameras);
    // The list again from both kinds: ours first, in their order, then the
    // ONVIF cameras in the order first heard. The selection stays.
    void ShowRows();
    // The ONVIF camera a row shows, or null for one of ours.
    const onvif::DiscoveredOnvifDevice* OnvifRow(const QTreeWidgetItem& row) const;
    // A camera a range search heard joins the list, once (by its reference,
    // or by its address when it told none).
    void AddRangeRow(const onvif::DiscoveredOnvifDevice& device);
    void EndRangeSearch();
    // Copies the address, mask and MAC of a row into the record.
    // The record of one of our cameras' rows (null for another maker's).
    const discovery::DiscoveredCamera* NativeRow(const QTreeWidgetItem& row) const;
    void StoreAddressOf(const discovery::DiscoveredCamera& camera);

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
    std::vector<onvif::DiscoveredOnvifDevice> onvifFound_;
    QPushButton* otherNetworksButton_ = nullptr;
    RangeSurvey rangeSurvey_;
    std::thread rangeWorker_;
    std::atomic<bool> rangeStop_{false};
    bool rangeDone_ = false;
};

}  // namespace orvanta

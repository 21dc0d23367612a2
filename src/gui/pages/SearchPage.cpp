#include "gui/controls/CaptionLayout.h"
#include "gui/pages/SearchPage.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSaveFile>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>
#include <cstring>

#include "core/camera/CameraService.h"
#include "core/discovery/DiscoveredCamera.h"
#include "core/discovery/DiscoveredCameraWriter.h"
#include "core/onvif/search/OnvifDeviceList.h"
#include "core/onvif/search/OnvifDeviceWriter.h"
#include "core/onvif/search/OnvifSearch.h"
#include "core/onvif/search/RangeSurvey.h"
#include "core/hostnet/HostNetwork.h"
#include "core/onvif/soap/ServiceAddress.h"
#include "core/base/Diagnostics.h"
#include "core/output/KindTable.h"
#include "core/settings/FixedField.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/ShownText.h"
#include "gui/framework/TimerSettings.h"
#include "gui/framework/UrlOpener.h"
#include "gui/dialogs/PlanMenu.h"
#include "gui/dialogs/RangeSearchDialog.h"
#include "gui/pages/CameraRowText.h"

namespace orvanta {
namespace {

// List columns, in the order the list shows them.
// The kind column came last and is shown first; the serial column holds an
// ONVIF camera's endpoint reference.
enum Column { kColIp, kColMac, kColPort, kColDesc, kColSport, kColSerial, kColMask, kColKind, kColumnCount };

// What a row's first cell keeps beside its text: which list it comes from
// and its place there.
constexpr int kRowKindRole = Qt::UserRole;
constexpr int kRowIndexRole = Qt::UserRole + 1;
enum RowKind { kNativeRow = 0, kOnvifRow = 1 };

// A search is six ticks: the seventh only ends it.
constexpr int kEndTick = 7;

// The page's texts, kept from its section.
constexpr const char* kNoCamera = "Message1";      // Next with an empty list
constexpr const char* kPickARow = "Message2";      // Next with no row selected
constexpr const char* kNoWayOut = "Message3";      // the search request left through no card
constexpr const char* kFoundSoFar = "FoundSoFar";  // "%d" cameras found
constexpr const char* kNoneFound = "NoneFound";
constexpr const char* kNoAddress = "NoAddress";    // the PC has no IPv4 address
constexpr const char* kMenuCopyAddress = "MenuCopyAddress";
constexpr const char* kMenuExportList = "MenuExportList";
constexpr const char* kExportTitle = "ExportTitle";
constexpr const char* kExportFailed = "ExportFailed";
constexpr const char* kKindNative = "KindNative";
constexpr const char* kKindOnvif = "KindOnvif";
constexpr const char* kMenuShowPicture = "MenuShowPicture";

QString Plain(const std::string& text) { return ShownText(text); }

// Over the network: the PC's own addresses and routers left out, then
// every address asked through the PC's routes.
void SurveyThroughRoutes(const std::vector<onvif::AddressRange>& ranges,
                         const std::function<void(const onvif::DiscoveredOnvifDevice&)>& heard,
                         const std::function<bool()>& stop) {
    const hostnet::AdapterList adapters = hostnet::MakeLinuxHostNetwork()->ListAdapters();
    const std::vector<uint32_t> addresses =
        onvif::AddressesToSurvey(ranges, adapters.adapters, onvif::RoutersOfThePc());
    onvif::RangeSurveySettings settings;
    settings.heard = heard;
    settings.stop = stop;
    onvif::RangeSurveyReport report;
    (void)onvif::SurveyAddresses(addresses, settings, report);
    if (!report.ran) Diagnostic("range search: %s", report.why.c_str());
}

// What names a row's camera whatever its place: the MAC of ours, the
// endpoint reference of an ONVIF camera.
QString IdentityOf(const QTreeWidgetItem& row) {
    return row.text(row.data(kColIp, kRowKindRole).toInt() == kOnvifRow ? kColSerial : kColMac);
}

// Record texts are 8-bit text in the locale's encoding, read no further
// than their field's width.
template <std::size_t N>
QString Local8(const char (&field)[N]) {
    const std::string_view text = FieldText(field);
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

SearchPage::SearchPage(QWidget* parent) : WizardPage(139, "SearchPage", parent) {
    QLabel* listLabel = AddStatic(kListLabel, Dlu(8, 30, 200, 10), QStringLiteral("Camera  List"));
    list_ = AddList(kList, Dlu(8, 42, 373, 130),
                    {QStringLiteral("IP"), QStringLiteral("MAC"), QStringLiteral("PORT"),
                     QStringLiteral("DESC / INTERFACE"), QStringLiteral("SPORT"), QStringLiteral("SERIAL NO."),
                     QStringLiteral("SUBMASK."), QStringLiteral("KIND")});
    list_->header()->moveSection(kColKind, 0);
    list_->setColumnWidth(kColKind, 70);
    list_->setColumnWidth(kColIp, 120);
    list_->setColumnWidth(kColMac, 120);
    list_->setColumnWidth(kColPort, 60);
    list_->setColumnWidth(kColDesc, 150);
    list_->setColumnWidth(kColSport, 60);
    list_->setColumnHidden(kColSerial, true);
    list_->setColumnWidth(kColMask, 120);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several cameras may be chosen for a plan; Next and a double click take the first one selected.
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    searchButton_ = AddButton(kSearchButton, Dlu(8, 178, 90, 22), QStringLiteral("Start  Search"));
    note_ = AddStatic(kNote, Dlu(106, 178, 275, 60), QString());
    status_ = AddStatic(0, Dlu(8, 203, 95, 22), QString());
    // Short enough for the column under the search button in every
    // language's font; the full words are its accessible name and tip.
    otherNetworksButton_ = AddButton(kOtherNetworksButton, Dlu(8, 226, 95, 14), QStringLiteral("Other networks\u2026"));
    otherNetworksButton_->setAccessibleName(QStringLiteral("Search other networks"));
    otherNetworksButton_->setToolTip(QStringLiteral("Search other networks: cameras behind a router, by address range"));
    rangeSurvey_ = SurveyThroughRoutes;
    status_->setObjectName(QStringLiteral("searchStatus"));
    AddStepTitle(kTitle, "TitleSearch", kCaptionCapacity, QStringLiteral("Find the Camera"));

    Captions({{note_, "Note", kSearchNoteCapacity}, {listLabel, "CamList"}, {otherNetworksButton_, "BtnOtherNetworks"}});
    KeptTexts({{kNoCamera}, {kPickARow}, {kNoWayOut}});
    KeptTexts({{kFoundSoFar, kMessageCapacity},
               {kNoneFound, kMessageCapacity},
               {kNoAddress, kMessageCapacity},
               {kMenuCopyAddress, kMessageCapacity},
               {kMenuExportList, kMessageCapacity},
               {kExportTitle, kMessageCapacity},
               {kExportFailed, kMessageCapacity},
               {kKindNative},
               {kKindOnvif},
               {kMenuShowPicture, kMessageCapacity}});

    connect(AddBackButton(kBack, QStringLiteral("Exit")), &QAbstractButton::clicked, this, &SearchPage::OnBack);
    connect(AddNextButton(kNext, QStringLiteral("Next")), &QAbstractButton::clicked, this, &SearchPage::OnNext);
    connect(searchButton_, &QAbstractButton::clicked, this, &SearchPage::OnToggleSearch);
    connect(otherNetworksButton_, &QAbstractButton::clicked, this, &SearchPage::OnSearchOtherNetworks);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &SearchPage::OnOpenCamera);
    // A double click below the rows opens the selected camera as well.
    list_->viewport()->installEventFilter(this);
    // The one context menu of the list: every entry lives in MakeContextMenu.
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, &SearchPage::OnContextMenu);

    // One search tick a period. A child of the page, so it dies with it.
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("searchTimer"));
    connect(timer_, &QTimer::timeout, this, &SearchPage::OnSearchTick);
    searchButton_->setText(idleCaption_);
}

SearchPage::~SearchPage() {
    timer_->stop();
    // The survey hears the stop within one of its waits (50 ms at most).
    rangeStop_ = true;
    if (rangeWorker_.joinable()) rangeWorker_.join();
}

void SearchPage::OnSearchOtherNetworks() {
    if (SearchingRanges() || !Context() || !Context()->prompter) return;
    RangeSearchDialog dialog(KeptSearchRanges(), this);
    if (Context()->prompter->RunModal(dialog) != QDialog::Accepted) return;
    KeepSearchRanges(dialog.RangesText());
    if (rangeWorker_.joinable()) rangeWorker_.join();  // the last one, long done
    rangeStop_ = false;
    rangeDone_ = false;
    otherNetworksButton_->setEnabled(false);
    ShowStatus();
    // Off the window's thread: a range takes seconds to minutes. What it
    // hears comes back to this thread one camera at a time.
    rangeWorker_ = std::thread([this, ranges = dialog.Ranges(), survey = rangeSurvey_] {
        survey(
            ranges,
            [this](const onvif::DiscoveredOnvifDevice& d) {
                QMetaObject::invokeMethod(this, [this, d] { AddRangeRow(d); }, Qt::QueuedConnection);
            },
            [this] { return rangeStop_.load(); });
        QMetaObject::invokeMethod(this, [this] { EndRangeSearch(); }, Qt::QueuedConnection);
    });
}

void SearchPage::AddRangeRow(const onvif::DiscoveredOnvifDevice& device) {
    for (const onvif::DiscoveredOnvifDevice& known : onvifFound_) {
        const bool same = device.endpoint.empty()
                              ? known.replyFrom == device.replyFrom
                              : onvif::CanonicalEndpoint(known.endpoint) == onvif::CanonicalEndpoint(device.endpoint);
        if (same) return;
    }
    onvifFound_.push_back(device);
    ShowRows();
    ShowStatus();
}

void SearchPage::EndRangeSearch() {
    rangeDone_ = true;
    otherNetworksButton_->setEnabled(true);
    ShowStatus();
}

void SearchPage::ApplyLanguage(const LanguageStrings& lang) {
    WizardPage::ApplyLanguage(lang);
    list_->headerItem()->setText(kColMask, Text(lang, "LANPage", "Submask"));
    CaptionListHeader(lang, list_,
                      {{kColIp, "CamListIP"}, {kColMac, "CamListMAC"}, {kColPort, "CamListPort"},
                       {kColDesc, "CamListDese"}, {kColSport, "CamListSport"}, {kColSerial, "CamListCamID"},
                       {kColKind, "CamListKind"}});
    idleCaption_ = Text(lang, "BtnStrartFind", kCaptionCapacity);
    searchingCaption_ = Text(lang, "BtnFindingCam", kCaptionCapacity);
    alternateCaption_ = Text(lang, "BtnStopFind", kCaptionCapacity);
    nextCaption_ = Text(lang, "Common", "BtnNext");
    // A search under way keeps blinking in the new language's captions.
    SetSearchCaption(searching_ ? searchingCaption_ : idleCaption_);
    ShowRows();
    ShowStatus();
}

void SearchPage::LoadFromSettings() {
    // A camera read on the ONVIF path now has its MAC.
    if (!onvifFound_.empty()) ShowRows();
    if (Settings().StartSearch == 1) {
        NextButton()->hide();
        note_->hide();
    } else {
        SetControlText(NextButton(), nextCaption_);
        NextButton()->show();
        note_->show();
    }
}

void SearchPage::SetSearchCaption(const QString& caption) {
    searchButton_->setText(caption);
    if (!caption.isEmpty()) searchButton_->setAccessibleName(caption);
    // The search and stop captions can be longer than the idle one.
    FitCaptions(this);
}

void SearchPage::StopSearch() {
    const bool wasSearching = searching_;
    searching_ = false;
    timer_->stop();
    SetSearchCaption(idleCaption_);
    if (Context() && Context()->camera) Context()->camera->EndSearch();
    if (Context() && Context()->onvifSearch && wasSearching) {
        // What came in since the last tick is kept, then the sockets go.
        if (Context()->onvifSearch->Look(onvifFound_)) ShowRows();
        Context()->onvifSearch->End();
    }
    if (wasSearching) ShowStatus();
}

void SearchPage::ShowStatus() {
    const int found = list_->topLevelItemCount();
    QString text;
    if (searching_ || SearchingRanges() || found > 0) {
        text = Kept(kFoundSoFar);
        text.replace(QStringLiteral("%d"), QString::number(found));
    } else if (ticks_ > 0) {
        // A search has run and found nothing: say why when we know.
        text = Context() && Settings().HostNoAddress == 1 ? Kept(kNoAddress) : Kept(kNoneFound);
    }
    // Answers that could not be read may be the camera looked for: said
    // beside the count, so "none found" is never the whole story.
    if (Context() && Context()->onvifSearch)
        if (const std::string unreadable = Context()->onvifSearch->Unreadable(); !unreadable.empty())
            text += (text.isEmpty() ? QString() : QStringLiteral("; ")) + QString::fromStdString(unreadable);
    status_->setText(text);
}

void SearchPage::OnToggleSearch() {
    if (searching_) {
        StopSearch();
        return;
    }
    ticks_ = 0;
    searching_ = true;
    // Other makers' cameras are searched for beside ours, listening on a
    // thread of the search's own from now on; each tick looks at what it
    // heard, so they are listed with ours at the first tick.
    if (Context() && Context()->onvifSearch) {
        onvifFound_.clear();
        const onvif::OnvifSearchReport report = Context()->onvifSearch->Begin();
        if (!report.ran) Diagnostic("onvif discovery: %s", report.why.c_str());
    }
    const int period = Context() && Context()->timers ? Context()->timers->searchTickMs : 1000;
    timer_->start(period);
    SetSearchCaption(searchingCaption_);
    ShowStatus();
}

SearchResult SearchPage::RunSearch(bool restart) {
    if (!Context() || !Context()->camera) return {};
    return Context()->camera->SearchStep(restart);
}

void SearchPage::OnSearchTick() {
    ++ticks_;
    if (ticks_ >= kEndTick) {
        StopSearch();
        return;
    }
    SetSearchCaption(searchButton_->text() == searchingCaption_ ? alternateCaption_ : searchingCaption_);

    const SearchResult result = RunSearch(ticks_ == 1);
    if (ticks_ == 1 && result.change != SearchChange::Failed && Context()->camera->SearchSentNowhere()) {
        // Nothing was asked, so an empty list would say "no camera" where
        // the truth is "no way out": say that instead.
        StopSearch();
        Ask(Kept(kNoWayOut), QStringLiteral("Orvanta"), PromptIcon::Critical);
        return;
    }
    // Other makers' cameras answer the search begun with the press.
    const bool onvifChanged = Context() && Context()->onvifSearch && Context()->onvifSearch->Look(onvifFound_);
    // Only a rebuilt list is redrawn: a silent network keeps the old rows.
    if (result.change == SearchChange::Rebuilt) FillRows(result.cameras);
    else if (onvifChanged) ShowRows();
    ShowStatus();
}

void SearchPage::FillRows(std::span<const discovery::DiscoveredCamera> cameras) {
    found_.assign(cameras.begin(), cameras.end());
    ShowRows();
}

const onvif::DiscoveredOnvifDevice* SearchPage::OnvifRow(const QTreeWidgetItem& row) const {
    if (row.data(kColIp, kRowKindRole).toInt() != kOnvifRow) return nullptr;
    const int i = row.data(kColIp, kRowIndexRole).toInt();
    return i >= 0 && i < static_cast<int>(onvifFound_.size()) ? &onvifFound_[static_cast<std::size_t>(i)] : nullptr;
}

void SearchPage::ShowRows() {
    // The selection is remembered by identity, not by place.
    QSet<QString> selected;
    for (const QTreeWidgetItem* row : list_->selectedItems()) selected << IdentityOf(*row);
    const QString current = list_->currentItem() ? IdentityOf(*list_->currentItem()) : QString();
    list_->clear();
    // Handed to the list in one go: one insertion per row would lay the view
    // out again for each of thousands of rows.
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(found_.size() + onvifFound_.size()));
    const QString native = Kept(kKindNative).isEmpty() ? QStringLiteral("Native") : Kept(kKindNative);
    const QString onvifKind = Kept(kKindOnvif).isEmpty() ? QStringLiteral("ONVIF") : Kept(kKindOnvif);
    for (std::size_t i = 0; i < found_.size(); ++i) {
        const discovery::DiscoveredCamera& cam = found_[i];
        auto* row = new QTreeWidgetItem;
        row->setData(kColIp, kRowKindRole, kNativeRow);
        row->setData(kColIp, kRowIndexRole, static_cast<int>(i));
        row->setText(kColKind, native);
        row->setText(kColIp, Local8(cam.IpText));
        row->setText(kColMac, Local8(cam.MacText));
        row->setText(kColPort, Local8(cam.PortText));
        row->setText(kColDesc, Local8(cam.DescInterface));
        row->setText(kColSport, Local8(cam.SportText));
        row->setText(kColSerial, Local8(cam.SerialNo));
        row->setText(kColMask, Local8(cam.MaskText));
        rows.append(row);
    }
    const std::map<std::string, std::string>* macs =
        Context() && Context()->onvifSetup ? &Context()->onvifSetup->macs : nullptr;
    for (std::size_t i = 0; i < onvifFound_.size(); ++i) {
        const onvif::DiscoveredOnvifDevice& d = onvifFound_[i];
        auto* row = new QTreeWidgetItem;
        row->setData(kColIp, kRowKindRole, kOnvifRow);
        row->setData(kColIp, kRowIndexRole, static_cast<int>(i));
        row->setText(kColKind, onvifKind);
        row->setText(kColIp, Plain(OnvifHost(d)));
        if (macs)
            if (const auto it = macs->find(onvif::CanonicalEndpoint(d.endpoint)); it != macs->end()) row->setText(kColMac, Plain(it->second));
        if (const auto url = onvif::DeviceServiceOf(d)) row->setText(kColPort, Plain(url->port));
        // Name and hardware as the camera announced them, then the PC's card
        // it answered on, as the description column shows ours.
        QStringList desc;
        if (!d.name.empty()) desc << Plain(d.name);
        if (!d.hardware.empty()) desc << Plain(d.hardware);
        QString text = desc.join(QStringLiteral(" "));
        if (!d.interfaceName.empty()) text += QStringLiteral("/") + Plain(d.interfaceName);
        row->setText(kColDesc, text);
        row->setText(kColSerial, Plain(d.endpoint));
        rows.append(row);
    }
    list_->addTopLevelItems(rows);
    for (QTreeWidgetItem* row : rows) {
        const QString key = IdentityOf(*row);
        if (key.isEmpty()) continue;
        if (selected.contains(key)) row->setSelected(true);
        if (key == current) list_->setCurrentItem(row, 0, QItemSelectionModel::NoUpdate);
    }
}

const discovery::DiscoveredCamera* SearchPage::NativeRow(const QTreeWidgetItem& row) const {
    if (row.data(kColIp, kRowKindRole).toInt() != kNativeRow) return nullptr;
    const int i = row.data(kColIp, kRowIndexRole).toInt();
    return i >= 0 && i < static_cast<int>(found_.size()) ? &found_[static_cast<std::size_t>(i)] : nullptr;
}

// The values the search reply carried, not the cells' texts read back.
void SearchPage::StoreAddressOf(const discovery::DiscoveredCamera& camera) {
    CameraSettings& s = Settings();
    s.CamAddr = camera.address.NetworkOrder();
    s.CamMask = camera.mask.NetworkOrder();
    std::memcpy(s.CamMAC, camera.mac, sizeof s.CamMAC);
}

void SearchPage::OnNext() {
    StopSearch();
    if (list_->topLevelItemCount() == 0) {
        Ask(Kept(kNoCamera), QStringLiteral("Orvanta"), PromptIcon::Critical);
        return;
    }
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        Ask(Kept(kPickARow), QStringLiteral("Orvanta"), PromptIcon::Information);
        return;
    }
    const QTreeWidgetItem& row = *selected.first();
    if (const onvif::DiscoveredOnvifDevice* device = OnvifRow(row)) {
        // Another maker's camera takes the ONVIF path, whatever the mode.
        if (Context()->onvifSetup) Context()->onvifSetup->Choose(*device);
        PostCommand(WizardCommand::ShowOnvifLoginPage);
        return;
    }
    const discovery::DiscoveredCamera* camera = NativeRow(row);
    if (camera == nullptr) return;
    CameraSettings& s = Settings();
    StoreAddressOf(*camera);
    SetField(s.CamIP, FieldText(camera->IpText));
    SetField(s.CamPort, FieldText(camera->PortText));
    // Case matters: only an interface text with "wireless" in lower case marks
    // a camera with a wireless interface.
    s.CamWirelessIf = FieldText(camera->DescInterface).find("wireless") != std::string_view::npos ? 1 : 0;
    SetField(s.CamSerial, FieldText(camera->SerialNo));

    if (s.StartSetup == 1)
        PostCommand(WizardCommand::ReadCamera);
    else if (s.StartUpgrade == 1)
        PostCommand(WizardCommand::ShowServerCameraListPage);
}

void SearchPage::OnBack() {
    StopSearch();
    const CameraSettings& s = Settings();
    if (s.StartSearch == 1)
        PostCommand(WizardCommand::StartOver);
    else if (s.StartSetup == 1)
        PostCommand(s.NewEnvironment == 1 ? WizardCommand::ShowDiagramPage : WizardCommand::ShowSetupChoicePage);
}

void SearchPage::OnOpenCamera() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return;
    const QTreeWidgetItem& row = *selected.first();
    if (const onvif::DiscoveredOnvifDevice* device = OnvifRow(row)) {
        if (!Context() || !Context()->onvifSetup) return;
        Context()->onvifSetup->Choose(*device);
        if (Context()->sendCommand) Context()->sendCommand(WizardCommand::EnsureOnvifReachable);
        const auto url = onvif::DeviceServiceOf(*device);
        const QString port = url && url->port != "80" ? QStringLiteral(":") + Plain(url->port) : QString();
        if (Context()->urlOpener) Context()->urlOpener->Open(QStringLiteral("http://%1%2/").arg(row.text(kColIp), port));
        return;
    }
    const discovery::DiscoveredCamera* camera = NativeRow(row);
    if (camera == nullptr) return;
    StoreAddressOf(*camera);
    // Run at once, not queued: the PC must reach the camera's subnet before
    // the browser asks for its page.
    if (Context() && Context()->sendCommand) Context()->sendCommand(WizardCommand::EnsureCameraSubnet);
    const QString url = CameraWebAddress(Local8(camera->IpText), Local8(camera->PortText));
    if (Context() && Context()->urlOpener) Context()->urlOpener->Open(url);
}

bool SearchPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // On a row the list reports the double click itself.
        if (mouse->button() == Qt::LeftButton && list_->itemAt(mouse->position().toPoint()) == nullptr) {
            OnOpenCamera();
            return true;
        }
    }
    return WizardPage::eventFilter(watched, event);
}

QMenu* SearchPage::MakeContextMenu(const QPoint& pos) {
    auto* menu = new QMenu(this);
    const auto caption = [this](const char* key, const QString& fallback) {
        const QString text = Kept(key);
        return text.isEmpty() ? fallback : text;
    };
    QTreeWidgetItem* row = list_->itemAt(pos);
    if (row == nullptr && !list_->selectedItems().isEmpty()) row = list_->selectedItems().first();
    QAction* copy = menu->addAction(caption(kMenuCopyAddress, QStringLiteral("Copy address")));
    copy->setObjectName(QStringLiteral("copyAddress"));
    copy->setEnabled(row != nullptr);
    const QString address = row ? row->text(kColIp) : QString();
    connect(copy, &QAction::triggered, this, [address] { QApplication::clipboard()->setText(address); });
    QAction* exportList = menu->addAction(caption(kMenuExportList, QStringLiteral("Export list\u2026")));
    exportList->setObjectName(QStringLiteral("exportList"));
    exportList->setEnabled(!found_.empty() || !onvifFound_.empty());
    connect(exportList, &QAction::triggered, this, &SearchPage::OnExport);
    AddPlanAction(*menu, list_, {kColMac, kColSerial}, Context());
    // An ONVIF camera logged in to in this run: the login is known, so its
    // picture can be taken without asking again.
    const onvif::DiscoveredOnvifDevice* device = row ? OnvifRow(*row) : nullptr;
    const bool loggedIn = device && Context() && Context()->onvifSetup &&
                          Context()->onvifSetup->logins.count(onvif::CanonicalEndpoint(device->endpoint)) > 0;
    QAction* picture = menu->addAction(caption(kMenuShowPicture, QStringLiteral("Show picture\u2026")));
    picture->setObjectName(QStringLiteral("showPicture"));
    picture->setEnabled(loggedIn);
    if (loggedIn) {
        const onvif::DiscoveredOnvifDevice chosen = *device;
        connect(picture, &QAction::triggered, this, [this, chosen] {
            if (!Context() || !Context()->onvifSetup) return;
            Context()->onvifSetup->pictureOf = chosen;
            PostCommand(WizardCommand::ShowOnvifPicture);
        });
    }
    return menu;
}

void SearchPage::OnContextMenu(const QPoint& pos) {
    QMenu* menu = MakeContextMenu(pos);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(list_->viewport()->mapToGlobal(pos));
}

void SearchPage::OnExport() {
    if (!Context() || !Context()->prompter) return;
    QFileDialog dialog(this, Kept(kExportTitle).isEmpty() ? QStringLiteral("Export list") : Kept(kExportTitle));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("CSV (*.csv)"), QStringLiteral("JSON (*.json)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(QStringLiteral("cameras.csv"));
    if (Context()->prompter->RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().first();
    if (!ExportList(path))
        Ask(Kept(kExportFailed).isEmpty() ? path : Kept(kExportFailed) + QStringLiteral("\n") + path,
            QStringLiteral("Orvanta"), PromptIcon::Critical);
}

bool SearchPage::ExportList(const QString& path) const {
    const bool json = path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive);
    // The command line's listing of both kinds: a kind on every row, an
    // ONVIF camera with its endpoint reference.
    const output::OutputTable table = output::KindTable(
        {{"native", discovery::DiscoveredCameraWriter::Table(found_.data(), static_cast<int>(found_.size()))},
         {"onvif", onvif::OnvifDeviceTable(onvifFound_)}});
    const std::string text = output::WriteTable(json ? output::OutputFormat::Json : output::OutputFormat::Csv, table);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace orvanta

#include "gui/pages/CSubSearchNet.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "core/discovery/CVorel.h"
#include "core/discovery/DiscoveredCamera.h"
#include "core/settings/FixedField.h"
#include "gui/app/TimerSettings.h"
#include "gui/app/UrlOpener.h"
#include "gui/dialogs/PlanMenu.h"
#include "gui/pages/CameraRowText.h"

namespace orvanta {
namespace {

// List columns, in the order the list shows them.
enum Column { kColIp, kColMac, kColPort, kColDesc, kColSport, kColSerial, kColMask, kColumnCount };

// A search is six ticks: the seventh only ends it.
constexpr int kEndTick = 7;

// Record texts are 8-bit text in the locale's encoding, read no further
// than their field's width.
template <std::size_t N>
QString Local8(const char (&field)[N]) {
    const std::string_view text = FieldText(field);
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CSubSearchNet::CSubSearchNet(QWidget* parent) : CWizardPage(139, "SearchPage", parent) {
    AddStatic(1346, Dlu(8, 30, 200, 10), QStringLiteral("Camera  List"));
    list_ = AddList(1011, Dlu(8, 42, 373, 130),
                    {QStringLiteral("IP"), QStringLiteral("MAC"), QStringLiteral("PORT"),
                     QStringLiteral("DESC / INTERFACE"), QStringLiteral("SPORT"), QStringLiteral("SERIAL NO."),
                     QStringLiteral("SUBMASK.")});
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
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowPlanMenu(list_, kColMac, pos, Context()); });
    searchButton_ = AddButton(1088, Dlu(8, 178, 90, 22), QStringLiteral("Start  Search"));
    note_ = AddStatic(1175, Dlu(106, 178, 275, 60), QString());
    AddStepTitle(1237, nullptr, 260, QStringLiteral("STEP \nFind The Camera"));
    connect(AddBackButton(1037, QStringLiteral("Exit")), &QAbstractButton::clicked, this, &CSubSearchNet::OnBack);
    connect(AddNextButton(1110, QStringLiteral("Next")), &QAbstractButton::clicked, this, &CSubSearchNet::OnNext);
    connect(searchButton_, &QAbstractButton::clicked, this, &CSubSearchNet::OnToggleSearch);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &CSubSearchNet::OnOpenCamera);

    // Timer 1: one search tick. A child of the page, so it dies with it.
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("searchTimer"));
    connect(timer_, &QTimer::timeout, this, &CSubSearchNet::OnSearchTick);
    searchButton_->setText(idleCaption_);
}

CSubSearchNet::~CSubSearchNet() { timer_->stop(); }

void CSubSearchNet::ApplyLanguage(const LanguageStrings& lang) {
    CWizardPage::ApplyLanguage(lang);
    SetCaption(note_, lang, "Note", 8072);
    SetCaption(Control(1346), lang, "CamList", 260);
    // The header keys are read with the rest; the headers keep their own texts.
    for (const char* key : {"CamListMAC", "CamListIP", "CamListPort", "CamListDese", "CamListCamID", "CamListSport"})
        KeepText(lang, key, 260);
    KeepText(lang, "Message1", 260);
    KeepText(lang, "Message2", 260);
    idleCaption_ = Text(lang, "BtnStrartFind", 260);
    searchingCaption_ = Text(lang, "BtnFindingCam", 260);
    alternateCaption_ = Text(lang, "BtnStopFind", 260);
    nextCaption_ = Text(lang, "Common", "BtnNext");
    // A search under way keeps blinking in the new language's captions.
    SetSearchCaption(searching_ ? searchingCaption_ : idleCaption_);
}

void CSubSearchNet::LoadFromSettings() {
    if (Settings().StartSearch == 1) {
        NextButton()->hide();
        note_->hide();
    } else {
        SetControlText(NextButton(), nextCaption_);
        NextButton()->show();
        note_->show();
    }
}

void CSubSearchNet::SetSearchCaption(const QString& caption) {
    searchButton_->setText(caption);
    if (!caption.isEmpty()) searchButton_->setAccessibleName(caption);
}

void CSubSearchNet::StopSearch() {
    searching_ = false;
    timer_->stop();
    SetSearchCaption(idleCaption_);
}

void CSubSearchNet::OnToggleSearch() {
    if (searching_) {
        StopSearch();
        return;
    }
    ticks_ = 0;
    searching_ = true;
    const int period = Context() && Context()->timers ? Context()->timers->searchTickMs : 1000;
    timer_->start(period);
    SetSearchCaption(searchingCaption_);
}

int CSubSearchNet::RunSearch(discovery::DiscoveredCamera** records, int* count, int* capacity, int restart) {
    if (search_) return search_(records, count, capacity, restart);
    if (!vorel_) vorel_ = std::make_unique<discovery::CVorel>();
    return vorel_->Search(records, count, capacity, restart);
}

void CSubSearchNet::OnSearchTick() {
    ++ticks_;
    if (ticks_ >= kEndTick) {
        StopSearch();
        return;
    }
    SetSearchCaption(searchButton_->text() == searchingCaption_ ? alternateCaption_ : searchingCaption_);

    discovery::DiscoveredCamera* records = nullptr;
    int count = 0;
    int capacity = 0;
    const int result = RunSearch(&records, &count, &capacity, ticks_ == 1 ? 1 : 0);
    // Only a rebuilt list is redrawn: a silent network keeps the old rows.
    if (result == 1) FillRows(records, records ? std::min(count, capacity) : 0);
}

void CSubSearchNet::FillRows(const discovery::DiscoveredCamera* records, int count) {
    list_->clear();
    for (int i = 0; i < count; ++i) {
        const discovery::DiscoveredCamera& cam = records[i];
        auto* row = new QTreeWidgetItem;
        row->setText(kColIp, Local8(cam.IpText));
        row->setText(kColMac, Local8(cam.MacText));
        row->setText(kColPort, Local8(cam.PortText));
        row->setText(kColDesc, Local8(cam.DescInterface));
        row->setText(kColSport, Local8(cam.SportText));
        row->setText(kColSerial, Local8(cam.SerialNo));
        row->setText(kColMask, Local8(cam.MaskText));
        list_->addTopLevelItem(row);
    }
}

void CSubSearchNet::StoreAddressOf(const QTreeWidgetItem& row) {
    CameraSettings& s = Settings();
    s.CamAddr = AddressValue(row.text(kColIp));
    s.CamMask = AddressValue(row.text(kColMask));
    ParseMacText(row.text(kColMac), s.CamMAC);
}

void CSubSearchNet::OnNext() {
    StopSearch();
    if (list_->topLevelItemCount() == 0) {
        Ask(Kept("Message1"), QStringLiteral("Orvanta"), mb::kOk | mb::kIconStop);
        return;
    }
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        Ask(Kept("Message2"), QStringLiteral("Orvanta"), mb::kOk | mb::kIconInformation);
        return;
    }
    const QTreeWidgetItem& row = *selected.first();
    CameraSettings& s = Settings();
    StoreAddressOf(row);
    SetField(s.CamIP, row.text(kColIp).toLocal8Bit().toStdString());
    SetField(s.CamPort, row.text(kColPort).toLocal8Bit().toStdString());
    // Case matters: only an interface text with "wireless" in lower case marks
    // a camera with a wireless interface.
    s.CamWirelessIf = row.text(kColDesc).contains(QStringLiteral("wireless"), Qt::CaseSensitive) ? 1 : 0;
    SetField(s.CamSerial, row.text(kColSerial).toLocal8Bit().toStdString());

    if (s.StartSetup == 1)
        PostCommand(cmd::kReadCamera);
    else if (s.StartUpgrade == 1)
        PostCommand(cmd::kServerListPage);
}

void CSubSearchNet::OnBack() {
    StopSearch();
    const CameraSettings& s = Settings();
    if (s.StartSearch == 1)
        PostCommand(cmd::kFirstPage);
    else if (s.StartSetup == 1)
        PostCommand(s.NewEnvironment == 1 ? cmd::kDiagramPage : cmd::kChoosePage);
}

void CSubSearchNet::OnOpenCamera() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return;
    const QTreeWidgetItem& row = *selected.first();
    StoreAddressOf(row);
    // Run at once, not queued: the PC must reach the camera's subnet before
    // the browser asks for its page.
    if (Context() && Context()->sendCommand) Context()->sendCommand(cmd::kEnsureSubnet);
    const QString url = CameraWebAddress(row.text(kColIp), row.text(kColPort));
    if (Context() && Context()->urlOpener) Context()->urlOpener->Open(url);
}

}  // namespace orvanta

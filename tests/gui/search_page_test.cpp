// The camera search page: the six ticks of a search and their caption blink,
// the rows kept or redrawn by the client's result, the count and the reason
// for an empty result, what Next stores and posts, where Back leads for
// each start flag, the double click (on a row or below the rows) that makes
// the subnet reachable before the browser opens, and the list's one context
// menu: copy an address, export the list, set up from a plan; other makers'
// ONVIF cameras in the same list, one row each, leading to their own path.
#include <arpa/inet.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstring>
#include <thread>

#include "core/base/AddressText.h"
#include "core/discovery/DiscoveredCamera.h"
#include "core/settings/FixedField.h"
#include "gui/dialogs/PlanDialog.h"
#include "gui/dialogs/RangeSearchDialog.h"
#include "gui/pages/SearchPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;
using discovery::DiscoveredCamera;

namespace {

const char* kLanguage =
    "[Common]\nBtnBack=Back\nBtnNext=Onward\n"
    "[SearchPage]\nBtnStrartFind=Idle\nBtnFindingCam=Busy\nBtnStopFind=Blink\n"
    "Note=Pick one\nCamList=Cameras\nMessage1=Empty list\nMessage2=Pick a row\nMessage3=No card\n"
    "FoundSoFar=%d so far\nNoneFound=Nobody answered\nNoAddress=No IPv4 here\n";

DiscoveredCamera Camera(const char* ip, const char* mac, const char* desc, const char* mask = "255.255.255.0") {
    DiscoveredCamera c{};
    SetField(c.IpText, ip);
    SetField(c.MacText, mac);
    SetField(c.PortText, "8080");
    SetField(c.DescInterface, desc);
    SetField(c.SerialNo, "SN-0042");
    SetField(c.SportText, "9090");
    SetField(c.MaskText, mask);
    // The values the decoder reads from the same reply.
    c.address = Ipv4Address::Parse(ip).value_or(Ipv4Address());
    c.mask = Ipv4Address::Parse(mask).value_or(Ipv4Address::Broadcast());
    ParseMac(mac, c.mac);
    return c;
}

constexpr SearchChange kRebuilt = SearchChange::Rebuilt, kSame = SearchChange::Unchanged,
                       kFailed = SearchChange::Failed;

// A discovery client that answers from a script, one result per call, and
// notes the restart flag and the caption the button showed at each call.
struct ScriptedSearch {
    std::vector<SearchChange> results;  // past the end: unchanged
    std::vector<DiscoveredCamera> cameras;
    std::vector<int> restarts;
    QStringList captions;
    QPushButton* button = nullptr;

    decltype(FakeCameraService::search) Function() {
        return [this](bool restart) -> SearchResult {
            restarts.push_back(restart ? 1 : 0);
            if (button) captions << button->text();
            const std::size_t i = restarts.size() - 1;
            const SearchChange change = i < results.size() ? results[i] : kSame;
            if (change == kFailed) return {};
            return {change, cameras};
        };
    }
};

// Counts the menus that open, notes their entries and closes each at once,
// whether it runs a loop of its own (exec) or pops up.
struct MenuCounter : QObject {
    int shown = 0;
    QStringList entries;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* menu = qobject_cast<QMenu*>(watched);
        if (menu == nullptr || event->type() != QEvent::Show) return false;
        ++shown;
        for (const QAction* a : menu->actions()) entries << a->objectName();
        QTimer::singleShot(0, menu, &QMenu::close);
        return false;
    }
};

}  // namespace

class SearchPageTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->WriteLanguage(QStringLiteral("English (ENG).ini"), QString::fromUtf8(kLanguage));
        page_ = std::make_unique<SearchPage>();
        fx_->AttachPage(*page_);
        search_.button = page_->Control<QPushButton>(SearchPage::kSearchButton);
        fx_->camera.search = search_.Function();
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        page_.reset();
        fx_.reset();
        search_ = ScriptedSearch{};
    }

    void searchRunsSixTicksAndBlinks();
    void secondPressStopsTheSearch();
    void rowsFollowOnlyARebuiltList();
    void nextChecksAndStores_data();
    void nextChecksAndStores();
    void backLeadsByStartFlag_data();
    void backLeadsByStartFlag();
    void doubleClickReachesSubnetBeforeBrowser();
    void requestSentNowhereIsSaidNotListedEmpty();
    void doubleClickBelowTheRowsOpensTheSelection();
    void statusCountsAndExplains();
    void contextMenuCopiesAndExports();
    void oneRightClickOneMenu();
    void onvifCamerasShareTheList();
    void otherNetworksJoinTheListFromAWorker();

private:
    void RunSearch() {
        page_->Control<QPushButton>(SearchPage::kSearchButton)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!page_->Searching(), 5000);
    }
    QTreeWidget* List() { return page_->Control<QTreeWidget>(SearchPage::kList); }

    std::unique_ptr<WizardFixture> fx_;
    std::unique_ptr<SearchPage> page_;
    ScriptedSearch search_;
};

void SearchPageTest::searchRunsSixTicksAndBlinks() {
    QPushButton* button = page_->Control<QPushButton>(SearchPage::kSearchButton);
    QCOMPARE(button->text(), QStringLiteral("Idle"));
    RunSearch();
    // Six calls, a restart only on the first; the seventh tick ends it.
    QCOMPARE(search_.restarts, (std::vector<int>{1, 0, 0, 0, 0, 0}));
    QCOMPARE(page_->TickCount(), 7);
    // The caption blinks before each call: Busy is shown at the start.
    QCOMPARE(search_.captions, (QStringList{"Blink", "Busy", "Blink", "Busy", "Blink", "Busy"}));
    QCOMPARE(button->text(), QStringLiteral("Idle"));
    // A second search restarts the client again.
    RunSearch();
    QCOMPARE(search_.restarts.size(), std::size_t{12});
    QCOMPARE(search_.restarts[6], 1);
}

void SearchPageTest::secondPressStopsTheSearch() {
    QPushButton* button = page_->Control<QPushButton>(SearchPage::kSearchButton);
    button->click();
    QVERIFY(page_->Searching());
    QCOMPARE(button->text(), QStringLiteral("Busy"));
    button->click();
    QVERIFY(!page_->Searching());
    QCOMPARE(button->text(), QStringLiteral("Idle"));
    // With its tick timer stopped the page cannot ask the client again.
    const auto* timer = page_->findChild<QTimer*>(QStringLiteral("searchTimer"));
    QVERIFY(timer && !timer->isActive());
    QVERIFY(search_.restarts.size() <= 1);
}

void SearchPageTest::requestSentNowhereIsSaidNotListedEmpty() {
    fx_->camera.sentNowhere = true;
    fx_->prompter.Answer(PromptAnswer::Ok);
    page_->Control<QPushButton>(SearchPage::kSearchButton)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!page_->Searching(), 5000);
    // One call (the one that sent), then the message; no more polling.
    QCOMPARE(search_.restarts, std::vector<int>{1});
    QCOMPARE(fx_->PromptTexts(), QStringList{QStringLiteral("No card")});
    QCOMPARE(int(fx_->prompter.Prompts()[0].icon), int(PromptIcon::Critical));
    QCOMPARE(page_->Control<QPushButton>(SearchPage::kSearchButton)->text(), QStringLiteral("Idle"));
    // Once a card can send again, the search runs as usual.
    fx_->camera.sentNowhere = false;
    RunSearch();
    QCOMPARE(search_.restarts.size(), std::size_t{7});
}

void SearchPageTest::rowsFollowOnlyARebuiltList() {
    search_.cameras = {Camera("10.0.0.5", "00:0E:53:00:00:01", "cam/eth0"),
                       Camera("10.0.0.6", "00:0E:53:00:00:02", "cam/wireless")};
    search_.results = {kRebuilt, kSame, kSame, kSame, kSame, kSame};
    RunSearch();
    QCOMPARE(List()->topLevelItemCount(), 2);
    // Record order is row order, and every column is filled from its field.
    QTreeWidgetItem* row = List()->topLevelItem(1);
    QCOMPARE(row->text(0), QStringLiteral("10.0.0.6"));
    QCOMPARE(row->text(1), QStringLiteral("00:0E:53:00:00:02"));
    QCOMPARE(row->text(2), QStringLiteral("8080"));
    QCOMPARE(row->text(3), QStringLiteral("cam/wireless"));
    QCOMPARE(row->text(4), QStringLiteral("9090"));
    QCOMPARE(row->text(5), QStringLiteral("SN-0042"));
    QCOMPARE(row->text(6), QStringLiteral("255.255.255.0"));
    QVERIFY(List()->isColumnHidden(5));
    // The cameras fall silent: a failed or unchanged step keeps the rows.
    search_.cameras.clear();
    search_.results.resize(6, kSame);
    search_.results.insert(search_.results.end(), {kFailed, kSame, kSame, kFailed, kSame, kSame});
    RunSearch();
    QCOMPARE(List()->topLevelItemCount(), 2);
    // A rebuilt empty list clears them.
    search_.results.insert(search_.results.end(), {kRebuilt, kSame, kSame, kSame, kSame, kSame});
    RunSearch();
    QCOMPARE(List()->topLevelItemCount(), 0);
}

void SearchPageTest::nextChecksAndStores_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("select");  // -1: none
    QTest::addColumn<QString>("desc");
    QTest::addColumn<int>("startFlags");  // 1 setup, 2 upgrade, 0 search only
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<int>("icon");
    QTest::addColumn<Commands>("posted");
    QTest::addColumn<int>("wirelessIf");
    // Nothing found: an error box, nothing stored or posted.
    QTest::newRow("empty list") << 0 << -1 << "" << 1 << "Empty list" << int(PromptIcon::Critical) << Commands{} << 0;
    // Rows but none picked: an information box.
    QTest::newRow("no selection") << 2 << -1 << "" << 1 << "Pick a row" << int(PromptIcon::Information) << Commands{} << 0;
    // A wireless camera chosen for setup: the read is asked for.
    QTest::newRow("wireless setup") << 2 << 1 << "cam/wireless" << 1 << "" << 0 << Commands{WizardCommand::ReadCamera} << 1;
    // The test is case-sensitive: "Wireless" is not a wireless interface.
    QTest::newRow("capital W") << 2 << 1 << "cam/Wireless" << 1 << "" << 0 << Commands{WizardCommand::ReadCamera} << 0;
    // The firmware path goes on to the server's camera list.
    QTest::newRow("upgrade") << 1 << 0 << "cam/eth0" << 2 << "" << 0 << Commands{WizardCommand::ShowServerCameraListPage} << 0;
    // A plain search stores the camera but leads nowhere.
    QTest::newRow("search only") << 1 << 0 << "cam/eth0" << 0 << "" << 0 << Commands{} << 0;
}

void SearchPageTest::nextChecksAndStores() {
    QFETCH(int, rows);
    QFETCH(int, select);
    QFETCH(QString, desc);
    QFETCH(int, startFlags);
    QFETCH(QString, prompt);
    QFETCH(int, icon);
    QFETCH(Commands, posted);
    QFETCH(int, wirelessIf);
    const QByteArray d = desc.toUtf8();
    search_.cameras = {Camera("10.0.0.5", "00:0E:53:00:00:01", "cam/eth0"),
                       Camera("192.168.7.20", "00:0e:53:0a:0b:0c", d.constData(), "255.255.0.0")};
    if (rows == 1) search_.cameras = {Camera("10.0.0.5", "00:0E:53:00:00:01", d.constData())};
    search_.results = {rows > 0 ? kRebuilt : kSame};
    RunSearch();
    fx_->Settings().StartSetup = startFlags == 1;
    fx_->Settings().StartUpgrade = startFlags == 2;
    if (select >= 0) List()->topLevelItem(select)->setSelected(true);
    if (!prompt.isEmpty()) fx_->prompter.Answer(PromptAnswer::Ok);
    // A search under way is stopped by Next.
    page_->Control<QPushButton>(SearchPage::kSearchButton)->click();
    const CameraSettings before = fx_->Settings();
    page_->NextButton()->click();
    QVERIFY(!page_->Searching());

    if (!prompt.isEmpty()) {
        QCOMPARE(fx_->PromptTexts(), QStringList{prompt});
        QCOMPARE(int(fx_->prompter.Prompts()[0].icon), icon);
        QCOMPARE(fx_->prompter.Prompts()[0].caption, QStringLiteral("Orvanta"));
        QVERIFY(fx_->posted.empty());
        QVERIFY(std::memcmp(&before, &fx_->Settings(), sizeof before) == 0);
        return;
    }
    QCOMPARE(fx_->posted, posted);
    const CameraSettings& s = fx_->Settings();
    QCOMPARE(int(s.CamWirelessIf), wirelessIf);
    QCOMPARE(std::string(FieldText(s.CamPort)), std::string("8080"));
    QCOMPARE(std::string(FieldText(s.CamSerial)), std::string("SN-0042"));
    if (rows == 2) {
        QCOMPARE(std::string(FieldText(s.CamIP)), std::string("192.168.7.20"));
        QCOMPARE(s.CamAddr, uint32_t(htonl(0xC0A80714)));
        QCOMPARE(s.CamMask, uint32_t(htonl(0xFFFF0000)));
        const uint8_t mac[6] = {0x00, 0x0E, 0x53, 0x0A, 0x0B, 0x0C};
        QVERIFY(std::memcmp(s.CamMAC, mac, 6) == 0);
    }
}

void SearchPageTest::backLeadsByStartFlag_data() {
    QTest::addColumn<int>("search");
    QTest::addColumn<int>("setup");
    QTest::addColumn<int>("newEnv");
    QTest::addColumn<Commands>("posted");
    QTest::newRow("search only: first page") << 1 << 0 << 0 << Commands{WizardCommand::StartOver};
    QTest::newRow("setup, new environment: diagram") << 0 << 1 << 1 << Commands{WizardCommand::ShowDiagramPage};
    QTest::newRow("setup, installed camera: choice") << 0 << 1 << 0 << Commands{WizardCommand::ShowSetupChoicePage};
    QTest::newRow("no start flag: nothing") << 0 << 0 << 1 << Commands{};
}

void SearchPageTest::backLeadsByStartFlag() {
    QFETCH(int, search);
    QFETCH(int, setup);
    QFETCH(int, newEnv);
    QFETCH(Commands, posted);
    fx_->Settings().StartSearch = search;
    fx_->Settings().StartSetup = setup;
    fx_->Settings().NewEnvironment = newEnv;
    page_->Control<QPushButton>(SearchPage::kSearchButton)->click();
    page_->BackButton()->click();
    QVERIFY(!page_->Searching());
    QCOMPARE(page_->Control<QPushButton>(SearchPage::kSearchButton)->text(), QStringLiteral("Idle"));
    QCOMPARE(fx_->posted, posted);
}

void SearchPageTest::doubleClickReachesSubnetBeforeBrowser() {
    search_.cameras = {Camera("172.16.9.30", "AA:BB:CC:DD:EE:01", "cam/eth0", "255.255.255.0")};
    search_.results = {kRebuilt};
    RunSearch();
    QTreeWidgetItem* row = List()->topLevelItem(0);
    // No selection: nothing happens.
    emit List()->itemDoubleClicked(row, 0);
    QVERIFY(fx_->events.isEmpty());
    QVERIFY(fx_->urls.opened.isEmpty());

    // The fake browser notes when it is asked, after whatever was sent.
    row->setSelected(true);
    fx_->PageContext().sendCommand = [this](WizardCommand c) {
        // The address must already be stored, and no browser asked, when the subnet is reached.
        QVERIFY(fx_->urls.opened.isEmpty());
        QCOMPARE(fx_->Settings().CamAddr, uint32_t(htonl(0xAC10091E)));
        fx_->sent.push_back(c);
        fx_->events << QStringLiteral("send");
    };
    emit List()->itemDoubleClicked(row, 0);
    fx_->events << QStringLiteral("opened %1").arg(fx_->urls.opened.value(0));
    QCOMPARE(fx_->events, (QStringList{"send", "opened http://172.16.9.30:8080"}));
    QCOMPARE(fx_->sent, Commands{WizardCommand::EnsureCameraSubnet});
    QCOMPARE(fx_->Settings().CamMask, uint32_t(htonl(0xFFFFFF00)));
    QCOMPARE(fx_->Settings().CamMAC[5], uint8_t{0x01});
    QVERIFY(fx_->posted.empty());
}

void SearchPageTest::doubleClickBelowTheRowsOpensTheSelection() {
    search_.cameras = {Camera("172.16.9.30", "AA:BB:CC:DD:EE:01", "cam/eth0")};
    search_.results = {kRebuilt};
    RunSearch();
    page_->show();
    const QPoint below(10, List()->viewport()->height() - 5);
    QVERIFY(List()->itemAt(below) == nullptr);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, below);
    QVERIFY(fx_->urls.opened.isEmpty());  // nothing selected yet
    List()->topLevelItem(0)->setSelected(true);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, below);
    QCOMPARE(fx_->events, (QStringList{"send"}));
    QCOMPARE(fx_->sent, Commands{WizardCommand::EnsureCameraSubnet});
    QCOMPARE(fx_->urls.opened, QStringList{"http://172.16.9.30:8080"});
}

void SearchPageTest::statusCountsAndExplains() {
    auto* status = page_->findChild<QLabel*>(QStringLiteral("searchStatus"));
    QVERIFY(status);
    QVERIFY(status->text().isEmpty());
    // The count grows while the search runs, and stays when it ends.
    search_.cameras = {Camera("10.0.0.5", "00:0E:53:00:00:01", "cam/eth0")};
    search_.results = {kRebuilt};
    page_->Control<QPushButton>(SearchPage::kSearchButton)->click();
    QCOMPARE(status->text(), QStringLiteral("0 so far"));
    QTRY_VERIFY_WITH_TIMEOUT(!page_->Searching(), 5000);
    QCOMPARE(status->text(), QStringLiteral("1 so far"));
    // An empty result says why: nobody answered, or this PC has no address.
    search_.cameras.clear();
    search_.results.assign(search_.restarts.size(), kSame);
    search_.results.push_back(kRebuilt);  // the next search rebuilds an empty list
    RunSearch();
    QCOMPARE(status->text(), QStringLiteral("Nobody answered"));
    fx_->Settings().HostNoAddress = 1;
    search_.results = std::vector<SearchChange>(search_.restarts.size(), kSame);
    RunSearch();
    QCOMPARE(status->text(), QStringLiteral("No IPv4 here"));
}

void SearchPageTest::contextMenuCopiesAndExports() {
    // Bytes a camera may send: a quote, a comma, a line break, non-UTF-8.
    search_.cameras = {Camera("10.0.0.5", "00:0E:53:00:00:01", "a,\"b\"\n\xe9"),
                       Camera("10.0.0.6", "00:0E:53:00:00:02", "cam/eth0")};
    search_.results = {kRebuilt};
    // No rows yet: nothing to copy or export.
    std::unique_ptr<QMenu> menu(page_->MakeContextMenu(QPoint(5, 5)));
    QVERIFY(!menu->findChild<QAction*>(QStringLiteral("copyAddress"))->isEnabled());
    QVERIFY(!menu->findChild<QAction*>(QStringLiteral("exportList"))->isEnabled());
    RunSearch();
    page_->show();
    const QPoint onSecond = List()->visualItemRect(List()->topLevelItem(1)).center();
    menu.reset(page_->MakeContextMenu(onSecond));
    menu->findChild<QAction*>(QStringLiteral("copyAddress"))->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("10.0.0.6"));

    QTemporaryDir dir;
    for (const QString& name : {QStringLiteral("cams.json"), QStringLiteral("cams.csv")}) {
        const QString path = dir.filePath(name);
        fx_->prompter.AnswerDialog([path](QDialog& d) {
            auto& files = static_cast<QFileDialog&>(d);
            files.selectFile(path);
            return int(QDialog::Accepted);
        });
        menu->findChild<QAction*>(QStringLiteral("exportList"))->trigger();
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray written = f.readAll();
        if (name.endsWith(QLatin1String(".json"))) {
            QJsonParseError error{};
            const QJsonDocument doc = QJsonDocument::fromJson(written, &error);
            QCOMPARE(error.error, QJsonParseError::NoError);
            QVERIFY(written.contains("10.0.0.5") && written.contains("10.0.0.6"));
        } else {
            QVERIFY(written.contains("10.0.0.6"));
            QVERIFY(written.contains("\"a,\"\"b\"\""));
        }
    }
    // A file that cannot be written is reported, not passed over.
    fx_->prompter.AnswerDialog([&dir](QDialog& d) {
        static_cast<QFileDialog&>(d).selectFile(dir.filePath(QStringLiteral("missing/cams.csv")));
        return int(QDialog::Accepted);
    });
    fx_->prompter.Answer(PromptAnswer::Ok);
    menu->findChild<QAction*>(QStringLiteral("exportList"))->trigger();
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Critical);
}

void SearchPageTest::oneRightClickOneMenu() {
    search_.cameras = {Camera("10.0.0.5", "00:0E:53:00:00:01", "cam/eth0")};
    search_.results = {kRebuilt};
    RunSearch();
    page_->show();
    MenuCounter counter;
    qApp->installEventFilter(&counter);
    const QPoint onRow = List()->visualItemRect(List()->topLevelItem(0)).center();
    // The signal the list sends on a right click, to whatever is connected.
    emit List()->customContextMenuRequested(onRow);
    QTRY_COMPARE(counter.shown, 1);
    QTest::qWait(50);  // a second menu would follow from the same signal
    qApp->removeEventFilter(&counter);
    QCOMPARE(counter.shown, 1);
    QCOMPARE(counter.entries,
             QStringList({QStringLiteral("copyAddress"), QStringLiteral("exportList"), QStringLiteral("setUpFromPlan"),
                          QStringLiteral("showPicture")}));
    // Its plan entry opens the plan dialog for the row selected.
    List()->topLevelItem(0)->setSelected(true);
    bool planShown = false;
    fx_->prompter.AnswerDialog([&planShown](QDialog& d) {
        planShown = qobject_cast<PlanDialog*>(&d) != nullptr;
        return int(QDialog::Rejected);
    });
    std::unique_ptr<QMenu> menu(page_->MakeContextMenu(onRow));
    menu->findChild<QAction*>(QStringLiteral("setUpFromPlan"))->trigger();
    QVERIFY(planShown);
}

void SearchPageTest::onvifCamerasShareTheList() {
    search_.cameras = {Camera("10.0.0.5", "00:0E:53:00:00:01", "cam/eth0")};
    search_.results = {kRebuilt};
    onvif::DiscoveredOnvifDevice dome;
    dome.endpoint = "urn:uuid:0000-dome";
    dome.xaddrs = {"http://10.0.0.30:8000/onvif/device_service"};
    dome.replyFrom = 0x0A00001E;
    dome.name = "Lob\nby";  // a line break may not fake a second row
    dome.hardware = "<i>Dome</i>";
    dome.interfaceName = "eth1";
    onvif::DiscoveredOnvifDevice bullet = dome;
    bullet.endpoint = "urn:uuid:0000-bullet";
    bullet.replyFrom = 0x0A00001F;
    // The first look hears one, the next one more (however many cards it
    // answered on, the search gives one entry a camera).
    fx_->onvifSearch.looks = {{dome}, {dome, bullet}};
    // Answers that could not be read are told beside the count.
    fx_->onvifSearch.unreadable = "2 replies on eth1 could not be read";
    page_->Control<QPushButton>(SearchPage::kSearchButton)->click();
    QTRY_VERIFY(List()->topLevelItemCount() >= 2);
    List()->topLevelItem(1)->setSelected(true);  // the dome, chosen while the search goes on
    RunSearch();
    QCOMPARE(fx_->onvifSearch.begun, 1);
    QCOMPARE(fx_->onvifSearch.ended, 1);
    QCOMPARE(List()->topLevelItemCount(), 3);
    // Ours first; the kind column says which is which.
    const int kind = List()->columnCount() - 1;
    QCOMPARE(List()->topLevelItem(0)->text(kind), QStringLiteral("Native"));
    QTreeWidgetItem* row = List()->topLevelItem(1);
    QCOMPARE(row->text(kind), QStringLiteral("ONVIF"));
    QCOMPARE(row->text(0), QStringLiteral("10.0.0.30"));
    QCOMPARE(row->text(2), QStringLiteral("8000"));
    QCOMPARE(row->text(3), QStringLiteral("Lob by <i>Dome</i>/eth1"));
    QVERIFY(row->isSelected());  // the selection outlived the new row
    QCOMPARE(page_->findChild<QLabel*>(QStringLiteral("searchStatus"))->text(),
             QStringLiteral("3 so far; 2 replies on eth1 could not be read"));

    // Export: a kind on every row and the endpoint reference.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("all.json"));
    QVERIFY(page_->ExportList(path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QJsonArray rows = QJsonDocument::fromJson(f.readAll()).array();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].toObject()[QStringLiteral("kind")].toString(), QStringLiteral("native"));
    QCOMPARE(rows[1].toObject()[QStringLiteral("kind")].toString(), QStringLiteral("onvif"));
    QCOMPARE(rows[1].toObject()[QStringLiteral("uuid")].toString(), QStringLiteral("urn:uuid:0000-dome"));

    // Once the camera was read its MAC shows; Next takes the ONVIF path.
    fx_->onvifSetup.macs["urn:uuid:0000-dome"] = "aa:bb:cc:dd:ee:ff";
    page_->LoadFromSettings();
    row = List()->topLevelItem(1);
    QCOMPARE(row->text(1), QStringLiteral("aa:bb:cc:dd:ee:ff"));
    List()->clearSelection();
    row->setSelected(true);
    fx_->Settings().StartSetup = 1;
    page_->Control<QAbstractButton>(SearchPage::kNext)->click();
    QCOMPARE(fx_->posted, Commands{WizardCommand::ShowOnvifLoginPage});
    QCOMPARE(fx_->onvifSetup.device.endpoint, std::string("urn:uuid:0000-dome"));
    // A double click opens its web page on its own port, reachable first.
    emit List()->itemDoubleClicked(row, 0);
    QCOMPARE(fx_->sent, Commands{WizardCommand::EnsureOnvifReachable});
    QCOMPARE(fx_->urls.opened.back(), QStringLiteral("http://10.0.0.30:8000/"));

    // Its picture is offered once it was logged in to (its login known),
    // never for one of ours.
    const auto pictureAction = [this](int index) {
        const QPoint at = List()->visualItemRect(List()->topLevelItem(index)).center();
        std::unique_ptr<QMenu> menu(page_->MakeContextMenu(at));
        QAction* a = menu->findChild<QAction*>(QStringLiteral("showPicture"));
        return std::pair{std::move(menu), a};
    };
    QVERIFY(!pictureAction(1).second->isEnabled());
    fx_->onvifSetup.logins["urn:uuid:0000-dome"] = {"admin", "pw"};
    QVERIFY(!pictureAction(0).second->isEnabled());
    QVERIFY(!pictureAction(2).second->isEnabled());  // the bullet: never logged in to
    fx_->posted.clear();
    auto [menu, picture] = pictureAction(1);
    QVERIFY(picture->isEnabled());
    picture->trigger();
    QCOMPARE(fx_->posted, Commands{WizardCommand::ShowOnvifPicture});
    QCOMPARE(fx_->onvifSetup.pictureOf.endpoint, std::string("urn:uuid:0000-dome"));
}


// Cameras behind a router: the ranges are checked in the dialog (a refused
// one named there, the dialog kept open), kept for the next time, and
// searched off the window's thread; each camera heard joins the list once,
// beside those the search of this network found.
void SearchPageTest::otherNetworksJoinTheListFromAWorker() {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    KeepSearchRanges(QStringLiteral("10.20.0.0/24"));
    onvif::DiscoveredOnvifDevice near;
    near.endpoint = "urn:uuid:0000-near";
    near.xaddrs = {"http://10.0.0.30/onvif/device_service"};
    near.replyFrom = 0x0A00001E;
    fx_->onvifSearch.looks = {{near}};
    RunSearch();
    QCOMPARE(List()->topLevelItemCount(), 1);

    std::thread::id surveyThread;
    std::vector<onvif::AddressRange> asked;
    page_->SetRangeSurvey([&](const std::vector<onvif::AddressRange>& ranges,
                              const std::function<void(const onvif::DiscoveredOnvifDevice&)>& heard,
                              const std::function<bool()>& stop) {
        surveyThread = std::this_thread::get_id();
        asked = ranges;
        onvif::DiscoveredOnvifDevice routed;
        routed.endpoint = "URN:UUID:0000-FAR";
        routed.xaddrs = {"http://10.20.8.10:8080/onvif/device_service"};
        routed.replyFrom = 0x0A14080A;
        routed.interfaceName = "eth0";
        routed.routed = true;
        heard(routed);
        onvif::DiscoveredOnvifDevice again = routed;  // heard again, reference spelt otherwise
        again.endpoint = "urn:uuid:0000-far";
        heard(again);
        heard(near);  // the one this network's search found already
        onvif::DiscoveredOnvifDevice quiet;  // found on its port alone: no reference
        quiet.xaddrs = {"http://10.20.8.200:8080/onvif/device_service"};
        quiet.replyFrom = 0x0A1408C8;
        heard(quiet);
        heard(quiet);
        (void)stop;
    });
    QStringList problems;
    fx_->prompter.AnswerDialog([&](QDialog& d) {
        auto& dialog = dynamic_cast<RangeSearchDialog&>(d);
        if (dialog.RangesEdit()->text() != QStringLiteral("10.20.0.0/24")) return int(QDialog::Rejected);
        // A typo'd prefix is refused by name and the dialog stays.
        dialog.RangesEdit()->setText(QStringLiteral("10.20.0.0/8"));
        dialog.SearchButton()->click();
        problems << dialog.Problem()->text();
        if (dialog.result() == QDialog::Accepted) return int(QDialog::Accepted);
        dialog.RangesEdit()->setText(QStringLiteral("10.20.8.0/22, 10.21.0.0/24"));
        dialog.SearchButton()->click();
        return dialog.result();
    });
    page_->Control<QPushButton>(SearchPage::kOtherNetworksButton)->click();
    QCOMPARE(problems.size(), 1);
    QVERIFY2(problems[0].contains(QStringLiteral("10.20.0.0/8")), qPrintable(problems[0]));
    QTRY_VERIFY(!page_->SearchingRanges());
    QVERIFY(surveyThread != std::thread::id() && surveyThread != std::this_thread::get_id());
    QCOMPARE(asked.size(), std::size_t{2});
    QCOMPARE(KeptSearchRanges(), QStringLiteral("10.20.8.0/22, 10.21.0.0/24"));
    QTRY_COMPARE(List()->topLevelItemCount(), 3);
    const int kind = List()->columnCount() - 1;
    QCOMPARE(List()->topLevelItem(1)->text(0), QStringLiteral("10.20.8.10"));
    QCOMPARE(List()->topLevelItem(1)->text(2), QStringLiteral("8080"));
    QCOMPARE(List()->topLevelItem(1)->text(kind), QStringLiteral("ONVIF"));
    QCOMPARE(List()->topLevelItem(2)->text(0), QStringLiteral("10.20.8.200"));
    QVERIFY(page_->Control<QPushButton>(SearchPage::kOtherNetworksButton)->isEnabled());
}

QTEST_MAIN(SearchPageTest)
#include "search_page_test.moc"

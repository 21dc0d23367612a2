// The main window's command handling and the page stack: which page each
// command shows, the flag reset of StartOver, that
// commands are queued rather than run inside the poster, and ShowPage's
// bounds and placing.
#include <QLabel>
#include <QTest>
#include <cstring>

#include "gui/app/PageStack.h"
#include "gui/pages/StartPage.h"
#include "gui/framework/WizardPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

class NavigationTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->StartWithLanguage(QStringLiteral("[FirstPage]\nBtn_FindCam=Find\n"));
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        fx_.reset();
    }

    void startShowsOnlyTheFirstPage();
    void eachCommandShowsItsPage_data();
    void eachCommandShowsItsPage();
    void startOverResetsTheFourFlags();
    void commandsRunAfterThePosterReturns();
    void pagesShareOnePlaceInTheArea();
    void showPageBounds();
    void addPagePlacesWithAndWithoutCentring();

private:
    std::unique_ptr<WizardFixture> fx_;
};

void NavigationTest::startShowsOnlyTheFirstPage() {
    WizardWindow& dlg = fx_->Window();
    QCOMPARE(dlg.Pages().Count(), kPageCount);
    QCOMPARE(dlg.Pages().CurrentIndex(), 0);
    int visible = 0;
    for (int i = 0; i < kPageCount; ++i)
        if (!dlg.Page(i)->isHidden()) ++visible;
    QCOMPARE(visible, 1);
    QVERIFY(!dlg.Page(0)->isHidden());
    // Pages are made in PageIndex order, each from its own template.
    const int templates[kPageCount] = {136, 139, 130, 166, 137, 143, 144, 150, 162, 160, 157,
                                       173, 174, 171, 176, 175, 177, 179, 145, 207, 140, 301, 302, 303, 304, 305, 306};
    for (int i = 0; i < kPageCount; ++i) QCOMPARE(dlg.Page(i)->TemplateId(), templates[i]);
    QCOMPARE(dlg.Settings().KeepConnecting, uint8_t{1});
}

void NavigationTest::eachCommandShowsItsPage_data() {
    QTest::addColumn<WizardCommand>("command");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("questions");  // entry questions the page asks (answered No)
    // One row per page-showing command; a wrong row means a button leads to the
    // wrong step of the wizard.
    QTest::newRow("system") << WizardCommand::ShowSystemPage << int(kPageSystem) << 0;
    QTest::newRow("option") << WizardCommand::ShowOptionPage << int(kPageOption) << 0;
    QTest::newRow("diagram") << WizardCommand::ShowDiagramPage << int(kPageDiagram) << 0;
    QTest::newRow("isp link type") << WizardCommand::ShowIspLinkPage << int(kPageIspLink) << 0;
    QTest::newRow("wireless ap") << WizardCommand::ShowWirelessNetworkPage << int(kPageWirelessNetwork) << 0;
    QTest::newRow("lan ip") << WizardCommand::ShowLanAddressPage << int(kPageLanAddress) << 0;
    QTest::newRow("wireless ip") << WizardCommand::ShowWirelessAddressPage << int(kPageWirelessAddress) << 0;
    QTest::newRow("search") << WizardCommand::ShowSearchPage << int(kPageSearch) << 0;
    QTest::newRow("server login") << WizardCommand::ShowServerLoginPage << int(kPageServerLogin) << 0;
    QTest::newRow("server list") << WizardCommand::ShowServerCameraListPage << int(kPageServerCameraList) << 0;
    QTest::newRow("upnp") << WizardCommand::ShowUpnpPortsPage << int(kPageUpnpPorts) << 0;
    QTest::newRow("ddns") << WizardCommand::ShowDdnsPage << int(kPageDynamicDns) << 0;
    QTest::newRow("ap scan") << WizardCommand::ShowAccessPointScanPage << int(kPageAccessPointScan) << 1;
    QTest::newRow("summary") << WizardCommand::ShowSummaryPage << int(kPageSummary) << 0;
    QTest::newRow("wps") << WizardCommand::ShowWpsPage << int(kPageWps) << 1;
    QTest::newRow("wps picture") << WizardCommand::ShowWpsPicturePage << int(kPageWpsPicture) << 0;
    QTest::newRow("choice") << WizardCommand::ShowSetupChoicePage << int(kPageSetupChoice) << 0;
    QTest::newRow("pppoe") << WizardCommand::ShowPppoePage << int(kPagePppoe) << 0;
    QTest::newRow("quick ip") << WizardCommand::ShowQuickAddressPage << int(kPageQuickAddress) << 0;
    QTest::newRow("setup finished") << WizardCommand::ShowSetupFinishedPage << int(kPageSetupFinished) << 0;
    // The scan and WPS pages ask to scan again when the camera saw no
    // access point. Back to the start from a page deep in the flow.
    QTest::newRow("first") << WizardCommand::StartOver << int(kPageStart) << 0;
}

void NavigationTest::eachCommandShowsItsPage() {
    QFETCH(WizardCommand, command);
    QFETCH(int, page);
    QFETCH(int, questions);
    for (int i = 0; i < questions; ++i) fx_->prompter.Answer(PromptAnswer::No);
    WizardWindow& dlg = fx_->Window();
    dlg.HandleCommand(WizardCommand::ShowDdnsPage);  // start somewhere other than the target
    if (page == kPageDynamicDns) dlg.HandleCommand(WizardCommand::ShowUpnpPortsPage);
    dlg.PostCommand(command);
    QCoreApplication::processEvents();
    QCOMPARE(dlg.Pages().CurrentIndex(), page);
    for (int i = 0; i < kPageCount; ++i) QCOMPARE(!dlg.Page(i)->isHidden(), i == page);
    QCOMPARE(int(fx_->prompter.Prompts().size()), questions);
}

void NavigationTest::startOverResetsTheFourFlags() {
    WizardWindow& dlg = fx_->Window();
    CameraSettings& s = dlg.Settings();
    // Set: every flag goes back to its start value.
    dlg.HandleCommand(WizardCommand::ShowDdnsPage);
    s.WizardMode = 0;
    s.LinkPPPoE = 1;
    s.UseWPS = 1;
    s.LinkWireless = 1;
    s.StartSetup = 1;
    dlg.HandleCommand(WizardCommand::StartOver);
    QCOMPARE(s.WizardMode, uint8_t{1});
    QCOMPARE(s.LinkPPPoE, uint8_t{0});
    QCOMPARE(s.UseWPS, uint8_t{0});
    QCOMPARE(s.LinkWireless, uint8_t{0});
    // The start flags are the first page's, not StartOver's.
    QCOMPARE(s.StartSetup, uint8_t{1});
    QCOMPARE(dlg.Pages().CurrentIndex(), 0);
    // Already clear: still the same values, also for a WizardMode of 0.
    s.WizardMode = 0;
    dlg.HandleCommand(WizardCommand::StartOver);
    QCOMPARE(s.WizardMode, uint8_t{1});
    QCOMPARE(s.LinkPPPoE, uint8_t{0});
}

void NavigationTest::commandsRunAfterThePosterReturns() {
    WizardWindow& dlg = fx_->Window();
    // The first page's "Search Camera" posts ShowSearchPage: the click returns before
    // the search page is shown, and both of two quick clicks are handled.
    auto* search = dlg.Page(kPageStart)->Control<QAbstractButton>(StartPage::kSearchButton);
    QVERIFY(search);
    search->click();
    QCOMPARE(dlg.Pages().CurrentIndex(), 0);
    QCOMPARE(dlg.Settings().StartSearch, uint8_t{1});
    dlg.PostCommand(WizardCommand::ShowUpnpPortsPage);
    QCoreApplication::processEvents();
    QCOMPARE(dlg.Pages().CurrentIndex(), int(kPageUpnpPorts));
}

void NavigationTest::pagesShareOnePlaceInTheArea() {
    WizardWindow& dlg = fx_->Window();
    const QRect area = dlg.PageAreaRect();
    const QPoint first = dlg.Page(0)->pos();
    for (int i = 0; i < kPageCount; ++i) {
        QWidget* page = dlg.Page(i);
        QCOMPARE(page->parentWidget(), static_cast<QWidget*>(&dlg));
        QCOMPARE(page->pos(), first);
        QCOMPARE(page->size(), WizardPage::TemplateSize());
    }
    QCOMPARE(first.x(), area.left() + (area.width() - WizardPage::TemplateSize().width()) / 2);
    QCOMPARE(first.y(), area.top() + (area.height() - WizardPage::TemplateSize().height()) / 2);
}

void NavigationTest::showPageBounds() {
    QWidget parent;
    PageStack pages;
    // Nothing added: even -1 has no page to show.
    QVERIFY(!pages.ShowPage(-1));
    QVERIFY(!pages.ShowPage(0));
    QWidget* a = new QWidget;
    QWidget* b = new QWidget;
    QVERIFY(!pages.AddPage(&parent, nullptr));  // a null page is refused
    QVERIFY(pages.AddPage(&parent, a));
    QVERIFY(pages.AddPage(&parent, b));
    QCOMPARE(pages.Count(), 2);
    // -1 with nothing current shows page 0.
    QVERIFY(pages.ShowPage(-1));
    QCOMPARE(pages.CurrentIndex(), 0);
    QVERIFY(!a->isHidden());
    QVERIFY(pages.ShowPage(1));
    QVERIFY(a->isHidden());
    QVERIFY(!b->isHidden());
    // One past the end, and a negative index other than -1, are refused
    // and change nothing (a negative index must never reach the array).
    QVERIFY(!pages.ShowPage(2));
    QVERIFY(!pages.ShowPage(-2));
    QVERIFY(!pages.ShowPage(INT_MIN));
    QCOMPARE(pages.CurrentIndex(), 1);
    QVERIFY(!pages.SetCurrentIndex(2));
    QVERIFY(!pages.SetCurrentIndex(-1));
    QVERIFY(pages.SetCurrentIndex(0));
    // -1 re-shows the current page.
    QVERIFY(pages.ShowPage(-1));
    QVERIFY(!a->isHidden());
    // A current page that was destroyed makes switching fail.
    delete a;
    QVERIFY(!pages.ShowPage(1));
}

void NavigationTest::addPagePlacesWithAndWithoutCentring() {
    QWidget parent;
    PageStack plain;
    auto* p1 = new QWidget;
    p1->resize(100, 50);
    plain.AddPage(&parent, p1);
    QCOMPARE(p1->pos(), QPoint(0, 0));  // no area set: not centred
    PageStack centred;
    centred.SetPageArea(QRect(10, 20, 201, 81));
    auto* p2 = new QWidget;
    p2->resize(100, 50);
    centred.AddPage(&parent, p2);
    // Integer division of the spare room: (201-100)/2 = 50, (81-50)/2 = 15.
    QCOMPARE(p2->pos(), QPoint(60, 35));
    QCOMPARE(p2->size(), QSize(100, 50));
    // A page larger than the area reaches out evenly on both sides.
    auto* p3 = new QWidget;
    p3->resize(221, 101);
    centred.AddPage(&parent, p3);
    QCOMPARE(p3->pos(), QPoint(0, 10));
}

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"

// The main window's command handling and the page collection: which page
// each command shows, which codes do nothing, the flag reset of code 2, that
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
    void eachCodeShowsItsPage_data();
    void eachCodeShowsItsPage();
    void ignoredCodesChangeNothing_data();
    void ignoredCodesChangeNothing();
    void codeTwoResetsTheFourFlags();
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
                                       173, 174, 171, 176, 175, 177, 179, 145, 207, 140};
    for (int i = 0; i < kPageCount; ++i) QCOMPARE(dlg.Page(i)->TemplateId(), templates[i]);
    QCOMPARE(dlg.Settings().KeepConnecting, uint8_t{1});
}

void NavigationTest::eachCodeShowsItsPage_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("questions");  // entry questions the page asks (answered No)
    // One row per page-showing code; a wrong row means a button leads to the
    // wrong step of the wizard.
    QTest::newRow("3 system") << 3 << int(kPageSystem) << 0;
    QTest::newRow("4 option") << 4 << int(kPageOption) << 0;
    QTest::newRow("5 diagram") << 5 << int(kPageDiagram) << 0;
    QTest::newRow("6 isp link type") << 6 << int(kPageIspLink) << 0;
    QTest::newRow("7 wireless ap") << 7 << int(kPageWirelessNetwork) << 0;
    QTest::newRow("8 lan ip") << 8 << int(kPageLanAddress) << 0;
    QTest::newRow("9 wireless ip") << 9 << int(kPageWirelessAddress) << 0;
    QTest::newRow("10 search") << 10 << int(kPageSearch) << 0;
    QTest::newRow("11 server login") << 11 << int(kPageServerLogin) << 0;
    QTest::newRow("13 server list") << 13 << int(kPageServerCameraList) << 0;
    QTest::newRow("14 upnp") << 14 << int(kPageUpnpPorts) << 0;
    QTest::newRow("15 ddns") << 15 << int(kPageDynamicDns) << 0;
    QTest::newRow("20 ap scan") << 20 << int(kPageAccessPointScan) << 1;
    QTest::newRow("21 summary") << 21 << int(kPageSummary) << 0;
    QTest::newRow("26 wps") << 26 << int(kPageWps) << 1;
    QTest::newRow("27 wps picture") << 27 << int(kPageWpsPicture) << 0;
    QTest::newRow("28 choice") << 28 << int(kPageSetupChoice) << 0;
    QTest::newRow("29 pppoe") << 29 << int(kPagePppoe) << 0;
    QTest::newRow("30 quick ip") << 30 << int(kPageQuickAddress) << 0;
    QTest::newRow("31 setup finished") << 31 << int(kPageSetupFinished) << 0;
    // The scan and WPS pages ask to scan again when the camera saw no
    // access point. Back to the start from a page deep in the flow.
    QTest::newRow("2 first") << 2 << int(kPageStart) << 0;
}

void NavigationTest::eachCodeShowsItsPage() {
    QFETCH(int, code);
    QFETCH(int, page);
    QFETCH(int, questions);
    for (int i = 0; i < questions; ++i) fx_->prompter.Answer(PromptAnswer::No);
    WizardWindow& dlg = fx_->Window();
    dlg.HandleCommand(cmd::kDdnsPage);  // start somewhere other than the target
    if (page == kPageDynamicDns) dlg.HandleCommand(cmd::kUpnpPage);
    dlg.PostCommand(code);
    QCoreApplication::processEvents();
    QCOMPARE(dlg.Pages().CurrentIndex(), page);
    for (int i = 0; i < kPageCount; ++i) QCOMPARE(!dlg.Page(i)->isHidden(), i == page);
    QCOMPARE(int(fx_->prompter.Prompts().size()), questions);
}

void NavigationTest::ignoredCodesChangeNothing_data() {
    QTest::addColumn<int>("code");
    // Codes the table does not list, and codes outside 2..32.
    QTest::newRow("12") << 12;
    QTest::newRow("16") << 16;
    QTest::newRow("23") << 23;
    QTest::newRow("25") << 25;
    QTest::newRow("1") << 1;
    QTest::newRow("0") << 0;
    QTest::newRow("33") << 33;
    QTest::newRow("40") << 40;
    QTest::newRow("negative") << -7;
}

void NavigationTest::ignoredCodesChangeNothing() {
    QFETCH(int, code);
    WizardWindow& dlg = fx_->Window();
    dlg.HandleCommand(cmd::kUpnpPage);
    dlg.Settings().WizardMode = 0;
    dlg.Settings().LinkWireless = 1;
    CameraSettings before = dlg.Settings();
    dlg.PostCommand(code);
    QCoreApplication::processEvents();
    QCOMPARE(dlg.Pages().CurrentIndex(), int(kPageUpnpPorts));
    QVERIFY(std::memcmp(&before, &dlg.Settings(), sizeof before) == 0);
    QVERIFY(fx_->prompter.Prompts().empty());
    QVERIFY(fx_->prompter.Dialogs().isEmpty());
}

void NavigationTest::codeTwoResetsTheFourFlags() {
    WizardWindow& dlg = fx_->Window();
    CameraSettings& s = dlg.Settings();
    // Set: every flag goes back to its start value.
    dlg.HandleCommand(cmd::kDdnsPage);
    s.WizardMode = 0;
    s.LinkPPPoE = 1;
    s.UseWPS = 1;
    s.LinkWireless = 1;
    s.StartSetup = 1;
    dlg.HandleCommand(cmd::kFirstPage);
    QCOMPARE(s.WizardMode, uint8_t{1});
    QCOMPARE(s.LinkPPPoE, uint8_t{0});
    QCOMPARE(s.UseWPS, uint8_t{0});
    QCOMPARE(s.LinkWireless, uint8_t{0});
    // The start flags are the first page's, not code 2's.
    QCOMPARE(s.StartSetup, uint8_t{1});
    QCOMPARE(dlg.Pages().CurrentIndex(), 0);
    // Already clear: still the same values, also for a WizardMode of 0.
    s.WizardMode = 0;
    dlg.HandleCommand(cmd::kFirstPage);
    QCOMPARE(s.WizardMode, uint8_t{1});
    QCOMPARE(s.LinkPPPoE, uint8_t{0});
}

void NavigationTest::commandsRunAfterThePosterReturns() {
    WizardWindow& dlg = fx_->Window();
    // The first page's "Search Camera" posts 10: the click returns before
    // the search page is shown, and both of two quick clicks are handled.
    auto* search = dlg.Page(kPageStart)->Control<QAbstractButton>(StartPage::kSearchButton);
    QVERIFY(search);
    search->click();
    QCOMPARE(dlg.Pages().CurrentIndex(), 0);
    QCOMPARE(dlg.Settings().StartSearch, uint8_t{1});
    dlg.PostCommand(cmd::kUpnpPage);
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
    QVERIFY(!pages.AddPage(1, &parent, nullptr));  // a null page is refused
    QVERIFY(pages.AddPage(1, &parent, a));
    QVERIFY(pages.AddPage(2, &parent, b));
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
    plain.AddPage(1, &parent, p1);
    QCOMPARE(p1->pos(), QPoint(0, 0));  // no area set: not centred
    PageStack centred;
    centred.SetPageArea(QRect(10, 20, 201, 81));
    auto* p2 = new QWidget;
    p2->resize(100, 50);
    centred.AddPage(1, &parent, p2);
    // Integer division of the spare room: (201-100)/2 = 50, (81-50)/2 = 15.
    QCOMPARE(p2->pos(), QPoint(60, 35));
    QCOMPARE(p2->size(), QSize(100, 50));
    // A page larger than the area reaches out evenly on both sides.
    auto* p3 = new QWidget;
    p3->resize(221, 101);
    centred.AddPage(2, &parent, p3);
    QCOMPARE(p3->pos(), QPoint(0, 10));
}

QTEST_MAIN(NavigationTest)
#include "navigation_test.moc"

// The window against emulated ONVIF cameras and our own simulated ones,
// offscreen, from the PC namespace of the ONVIF lab: the search lists both
// kinds (timed from the press of Start Search, five times), then each
// camera of ORVANTA_TEST_MOVES ("uuid=address/prefix" or "uuid=proposal",
// comma-separated) is taken through login, address, name and clock,
// summary and finish, timed from Next on the search page. The first login
// is tried with a wrong password before the right one. The lab script
// checks what the cameras hold afterwards.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>

#include "core/hostnet/HostNetwork.h"
#include "core/base/AddressText.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/framework/PageIndex.h"
#include "gui/pages/OnvifAddressPage.h"
#include "gui/pages/OnvifClockPage.h"
#include "gui/pages/OnvifFinishedPage.h"
#include "gui/pages/OnvifLoginPage.h"
#include "gui/pages/OnvifStreamsPage.h"
#include "gui/pages/OnvifSummaryPage.h"
#include "gui/pages/SearchPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

constexpr int kSearchRuns = 3;
// The search runs seven ticks. Where the search is timed the tick is the
// window's own, so the figure is the user's; where a search only finds the
// camera to set up next, nothing is timed and a short tick saves the lab
// most of 7 s a camera.
constexpr int kUsersSearchTickMs = 1000;
constexpr int kQuickSearchTickMs = 250;
// A camera that restarts for its new address is waited for this long.
constexpr int kApplyMs = 200000;

int Count(QTreeWidget* list, const QString& kind) {
    int n = 0;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(list->columnCount() - 1) == kind) ++n;
    return n;
}

}  // namespace

class OnvifWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void searchListsBothKinds();
    void eachCameraIsSetUpThroughItsPath();

private:
    template <class T>
    T* On(int page, int id) {
        T* c = fx_->Window().Page(page)->Control<T>(id);
        if (!c) qFatal("control %d of page %d missing", id, page);
        return c;
    }
    int Current() { return fx_->Window().Pages().CurrentIndex(); }
    QTreeWidget* List() { return On<QTreeWidget>(kPageSearch, SearchPage::kList); }
    void OpenWindow(int searchTickMs);
    void Search();
    void Click(int page, int id) {
        On<QAbstractButton>(page, id)->click();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<hostnet::HostNetwork> net_;
    std::unique_ptr<WizardFixture> fx_;
};

void OnvifWindow::initTestCase() { OpenWindow(kUsersSearchTickMs); }

// A window of its own on the search page; the window takes its periods when it is made.
void OnvifWindow::OpenWindow(int searchTickMs) {
    if (!net_) net_ = hostnet::MakeLinuxHostNetwork();
    if (fx_) QVERIFY(!fx_->prompter.HadUnexpected());
    fx_.reset();
    fx_ = std::make_unique<WizardFixture>();
    fx_->networkCamera = true;
    fx_->realNetwork = net_.get();
    fx_->timers.searchTickMs = searchTickMs;
    fx_->StartInShippedEnglish(qEnvironmentVariable("ORVANTA_SOURCE_DIR"));
    fx_->Window().show();
    fx_->Settings().StartSetup = 1;
    fx_->Window().HandleCommand(WizardCommand::ShowSearchPage);
}

void OnvifWindow::cleanupTestCase() {
    QVERIFY(!fx_->prompter.HadUnexpected());
    fx_.reset();
}

void OnvifWindow::Search() {
    SearchPage* page = static_cast<SearchPage*>(fx_->Window().Page(kPageSearch));
    Click(kPageSearch, SearchPage::kSearchButton);
    QTRY_VERIFY_WITH_TIMEOUT(!page->Searching(), 20000);
}

void OnvifWindow::searchListsBothKinds() {
    const int natives = qEnvironmentVariableIntValue("ORVANTA_TEST_NATIVE");
    const int onvifs = qEnvironmentVariableIntValue("ORVANTA_TEST_ONVIF");
    std::vector<qint64> took;
    for (int run = 0; run < kSearchRuns; ++run) {
        // A window of its own each time: the list keeps what an earlier
        // search found.
        OpenWindow(kUsersSearchTickMs);
        SearchPage* page = static_cast<SearchPage*>(fx_->Window().Page(kPageSearch));
        QElapsedTimer clock;
        Click(kPageSearch, SearchPage::kSearchButton);
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(Count(List(), QStringLiteral("Native")) == natives &&
                                     Count(List(), QStringLiteral("ONVIF")) == onvifs,
                                 20000);
        took.push_back(clock.elapsed());
        QTRY_VERIFY_WITH_TIMEOUT(!page->Searching(), 20000);
        // What the search found stays once it ended: no camera drops out.
        QCOMPARE(Count(List(), QStringLiteral("ONVIF")), onvifs);
    }
    std::sort(took.begin(), took.end());
    std::printf("both kinds listed (%d ours, %d ONVIF) after %lld ms (median of %d; %lld..%lld)\n", natives, onvifs,
                static_cast<long long>(took[took.size() / 2]), kSearchRuns, static_cast<long long>(took.front()),
                static_cast<long long>(took.back()));
}

void OnvifWindow::eachCameraIsSetUpThroughItsPath() {
    const QString password = qEnvironmentVariable("ORVANTA_TEST_PASSWORD");
    bool triedWrong = false;
    OpenWindow(kQuickSearchTickMs);
    for (const QString& move : qEnvironmentVariable("ORVANTA_TEST_MOVES").split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString uuid = move.section(QLatin1Char('='), 0, 0);
        const QString target = move.section(QLatin1Char('='), 1);
        fx_->Window().HandleCommand(WizardCommand::ShowSearchPage);
        Search();
        QTreeWidgetItem* row = nullptr;
        for (int i = 0; i < List()->topLevelItemCount() && !row; ++i)
            if (List()->topLevelItem(i)->text(5) == uuid) row = List()->topLevelItem(i);
        QVERIFY2(row, qPrintable(uuid + QStringLiteral(" is not listed")));
        List()->clearSelection();
        row->setSelected(true);

        QElapsedTimer clock;
        clock.start();
        Click(kPageSearch, SearchPage::kNext);
        QCOMPARE(Current(), int(kPageOnvifLogin));
        if (!triedWrong) {
            triedWrong = true;
            On<QLineEdit>(kPageOnvifLogin, OnvifLoginPage::kPassword)->setText(QStringLiteral("not the password"));
            Click(kPageOnvifLogin, OnvifLoginPage::kNext);
            QTRY_VERIFY_WITH_TIMEOUT(fx_->Window().isEnabled(), 30000);
            QCOMPARE(Current(), int(kPageOnvifLogin));
            const QString said = On<QLabel>(kPageOnvifLogin, OnvifLoginPage::kStatus)->text();
            QVERIFY2(said.contains(QStringLiteral("refused this user name or password")), qPrintable(said));
            std::printf("wrong password said in %lld ms: %s\n", static_cast<long long>(clock.elapsed()),
                        qPrintable(said.section(QLatin1Char('\n'), 0, 0)));
        }
        On<QLineEdit>(kPageOnvifLogin, OnvifLoginPage::kPassword)->setText(password);
        Click(kPageOnvifLogin, OnvifLoginPage::kNext);
        QTRY_VERIFY_WITH_TIMEOUT(Current() == int(kPageOnvifAddress) && fx_->Window().isEnabled(), 60000);

        auto* address = On<Ipv4AddressEdit>(kPageOnvifAddress, OnvifAddressPage::kAddress);
        QString expected;
        if (target == QStringLiteral("proposal")) {
            expected = QString::fromStdString(address->Value().Text());
            QVERIFY2(!address->Value().IsUnspecified(), "no address was proposed");
        } else {
            On<QRadioButton>(kPageOnvifAddress, OnvifAddressPage::kFixedRadio)->click();
            expected = target.section(QLatin1Char('/'), 0, 0);
            const auto a = Ipv4Address::Parse(expected.toStdString());
            QVERIFY(a.has_value());
            address->SetValue(*a);
            On<Ipv4AddressEdit>(kPageOnvifAddress, OnvifAddressPage::kMask)
                ->SetValue(Ipv4Address::FromNetworkOrder(PrefixMask(target.section(QLatin1Char('/'), 1).toInt())));
        }
        Click(kPageOnvifAddress, OnvifAddressPage::kNext);
        QCOMPARE(Current(), int(kPageOnvifClock));
        const QString clockNote = On<QLabel>(kPageOnvifClock, OnvifClockPage::kClockNote)->text();
        if (!clockNote.isEmpty()) std::printf("clock: %s\n", qPrintable(clockNote));
        On<QLineEdit>(kPageOnvifClock, OnvifClockPage::kHostName)
            ->setText(QStringLiteral("win-") + uuid.right(4));
        Click(kPageOnvifClock, OnvifClockPage::kNext);
        QCOMPARE(Current(), int(kPageOnvifStreams));
        // The emulator's main stream, as its encoder offers it.
        QCOMPARE(On<QComboBox>(kPageOnvifStreams, OnvifStreamsPage::kRowBase + OnvifStreamsPage::kResolution)->currentText(),
                 QStringLiteral("2592x1944"));
        Click(kPageOnvifStreams, OnvifStreamsPage::kNext);
        QCOMPARE(Current(), int(kPageOnvifSummary));
        Click(kPageOnvifSummary, OnvifSummaryPage::kSave);
        QTRY_VERIFY_WITH_TIMEOUT(Current() == int(kPageOnvifFinished) || (fx_->Window().isEnabled() && !fx_->prompter.Prompts().empty()),
                                 kApplyMs);
        if (Current() != int(kPageOnvifFinished)) QFAIL(qPrintable(fx_->LastPrompt().text));
        QCOMPARE(On<QLineEdit>(kPageOnvifFinished, OnvifFinishedPage::kAddress)->text(), expected);
        QVERIFY(On<QTreeWidget>(kPageOnvifFinished, OnvifFinishedPage::kStreams)->topLevelItem(0)->text(0).startsWith(
            QStringLiteral("rtsp://") + expected));
        std::printf("%s: Next on the search page to the finish page in %lld ms, now at %s\n", qPrintable(uuid),
                    static_cast<long long>(clock.elapsed()), qPrintable(expected));
        Click(kPageOnvifFinished, OnvifFinishedPage::kFinish);
    }
}

QTEST_MAIN(OnvifWindow)
#include "onvif_window_guiprog.moc"

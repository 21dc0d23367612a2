// The WPS pages: the WPS tick counter against scripted camera answers
// (when the status queries and the repeated starts go out, how the attempt
// ends), a failed start, the entry step's rescan question and its "already
// acknowledged" case, and the timer dying with the page.
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "gui/pages/WpsPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

const char* kLanguage =
    "[WPSPage]\nMessage1=Scan again?\nMessage2=WPS failed\nMessage3=WPS joined\nMessage4=Start failed\n";

using Pair = QPair<int, int>;  // WPSState, WPSAck

// A camera that answers the status queries from a script (its last pair
// repeats) and notes the counter at which each request arrived.
struct ScriptedCamera {
    QList<Pair> answers;
    HttpResult startResult = HttpResult::Received(100);
    QList<int> starts;
    QList<int> queries;
    const WpsPage* page = nullptr;
    int* alive = nullptr;

    decltype(FakeCameraService::wps) Function() {
        return [this](CameraSettings& s, WpsAction action) -> HttpResult {
            const int at = page ? page->Counter() : -1;
            if (action == WpsAction::Start) {
                starts << at;
                return startResult;
            }
            const Pair p = answers.value(queries.size(), answers.isEmpty() ? Pair{0, 0} : answers.last());
            queries << at;
            s.WPSState = static_cast<uint8_t>(p.first);
            s.WPSAck = static_cast<uint8_t>(p.second);
            return HttpResult::Received(60);
        };
    }
};

QList<int> QueryCounters(int from, int to) {
    QList<int> c;
    for (int v = from; v <= to; v += 40) c << v;
    return c;
}

}  // namespace

class WpsPagesTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->WriteLanguage(QStringLiteral("English (ENG).ini"), QString::fromUtf8(kLanguage));
        page_ = std::make_unique<WpsPage>();
        fx_->AttachPage(*page_);
        cam_ = ScriptedCamera{};
        cam_.page = page_.get();
        fx_->camera.wps = cam_.Function();
        fx_->Settings().APCount = 2;
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        page_.reset();
        fx_.reset();
    }

    void counterAgainstTheCamera_data();
    void counterAgainstTheCamera();
    void failedStartEndsAtOnce();
    void entryStep_data();
    void entryStep();
    void timerStopsWithThePage();

private:
    std::unique_ptr<WizardFixture> fx_;
    std::unique_ptr<WpsPage> page_;
    ScriptedCamera cam_;
};

void WpsPagesTest::counterAgainstTheCamera_data() {
    QTest::addColumn<QList<Pair>>("answers");
    QTest::addColumn<QList<int>>("starts");   // counter values of the start requests
    QTest::addColumn<QList<int>>("queries");  // counter values of the status queries
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("nextEnabled");
    // A camera that never moves: the start four times in all (0, 520, 560,
    // 600), queries from the 12th tick to the 29th, "WPS failed" at the 30th.
    QTest::newRow("never") << QList<Pair>{{0, 0}} << QList<int>{0, 520, 560, 600} << QueryCounters(480, 1160)
                           << "WPS failed" << false;
    // Joined on the first query: the attempt ends on that tick.
    QTest::newRow("at once") << QList<Pair>{{0, 1}} << QList<int>{0} << QList<int>{480} << "WPS joined" << true;
    // Under way (no repeated start while the camera works on it), then joined.
    QTest::newRow("under way, then joined") << QList<Pair>{{1, 0}, {1, 0}, {1, 0}, {0, 1}} << QList<int>{0}
                                            << QList<int>{480, 520, 560, 600} << "WPS joined" << true;
    // Silent at first (one repeat at 520), then under way for good: the
    // attempt ends by the counter without a message.
    QTest::newRow("under way for good") << QList<Pair>{{0, 0}, {0, 0}, {2, 0}} << QList<int>{0, 520}
                                        << QueryCounters(480, 1160) << "" << false;
}

void WpsPagesTest::counterAgainstTheCamera() {
    QFETCH(QList<Pair>, answers);
    QFETCH(QList<int>, starts);
    QFETCH(QList<int>, queries);
    QFETCH(QString, message);
    QFETCH(bool, nextEnabled);
    cam_.answers = answers;
    if (!message.isEmpty()) fx_->prompter.Answer(PromptAnswer::Ok);
    page_->Control<QPushButton>(WpsPage::kStart)->click();
    QVERIFY(page_->Running());
    QVERIFY(!page_->BackButton()->isEnabled());
    QVERIFY(!page_->NextButton()->isEnabled());
    QVERIFY(!page_->Control(WpsPage::kStart)->isEnabled());
    QVERIFY(!page_->Control(WpsPage::kProgress)->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(!page_->Running(), 10000);

    QCOMPARE(cam_.starts, starts);
    QCOMPARE(cam_.queries, queries);
    QCOMPARE(fx_->PromptTexts(), message.isEmpty() ? QStringList{} : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(fx_->prompter.Prompts()[0].icon,
                 nextEnabled ? PromptIcon::Information : PromptIcon::Warning);
    QCOMPARE(page_->NextButton()->isEnabled(), nextEnabled);
    QVERIFY(page_->BackButton()->isEnabled());
    QVERIFY(page_->Control(WpsPage::kStart)->isEnabled());
    QVERIFY(page_->Control(WpsPage::kProgress)->isHidden());
    QCOMPARE(page_->Counter(), nextEnabled ? 1500 : 1200);
    QVERIFY(fx_->posted.empty());
}

void WpsPagesTest::failedStartEndsAtOnce() {
    cam_.startResult = HttpStatus::ConnectFailed;
    fx_->prompter.Answer(PromptAnswer::Ok);
    page_->Control<QPushButton>(WpsPage::kStart)->click();
    QVERIFY(!page_->Running());
    QCOMPARE(fx_->PromptTexts(), QStringList{"Start failed"});
    QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Critical);
    QVERIFY(page_->BackButton()->isEnabled());
    // Not running means the tick timer is stopped: no query can follow.
    QVERIFY(cam_.queries.isEmpty());
    QCOMPARE(cam_.starts.size(), 1);
}

void WpsPagesTest::entryStep_data() {
    QTest::addColumn<int>("apCount");
    QTest::addColumn<int>("ack");
    QTest::addColumn<int>("answer");  // to the rescan question; -1 none asked
    QTest::addColumn<int>("starts");
    QTest::addColumn<Commands>("posted");
    // No network found: the question, Yes rescans, WPS is not started.
    QTest::newRow("no AP, yes") << 0 << 0 << int(PromptAnswer::Yes) << 0 << Commands{WizardCommand::ScanAccessPoints};
    QTest::newRow("no AP, no") << 0 << 0 << int(PromptAnswer::No) << 0 << Commands{};
    // Already acknowledged by the camera: no new start.
    QTest::newRow("acknowledged") << 3 << 1 << -1 << 0 << Commands{};
    // Otherwise the page starts WPS on entry.
    QTest::newRow("starts") << 3 << 0 << -1 << 1 << Commands{};
}

void WpsPagesTest::entryStep() {
    QFETCH(int, apCount);
    QFETCH(int, ack);
    QFETCH(int, answer);
    QFETCH(int, starts);
    QFETCH(Commands, posted);
    fx_->Settings().APCount = static_cast<uint32_t>(apCount);
    fx_->Settings().WPSAck = static_cast<uint8_t>(ack);
    if (answer >= 0) fx_->prompter.Answer(static_cast<PromptAnswer>(answer));
    page_->LoadFromSettings();
    QCOMPARE(fx_->PromptTexts(), answer >= 0 ? QStringList{"Scan again?"} : QStringList{});
    QCOMPARE(cam_.starts.size(), starts);
    QCOMPARE(fx_->posted, posted);
    if (apCount == 0) {
        QVERIFY(page_->Control(WpsPage::kProgress)->isHidden());
        QVERIFY(!page_->Control(WpsPage::kStart)->isEnabled());
        QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Information);
    }
    QCOMPARE(page_->Running(), starts == 1);
}

void WpsPagesTest::timerStopsWithThePage() {
    fx_->camera.wps = [](CameraSettings&, WpsAction) -> HttpResult { return HttpResult::Received(10); };
    page_->Control<QPushButton>(WpsPage::kStart)->click();
    // Mid-attempt: the start went out and the status queries have begun.
    QVERIFY(QTest::qWaitFor([this] { return fx_->camera.calls.wps.load() > 1; }, 5000));
    QVERIFY(page_->Running());
    page_.reset();
    const int before = fx_->camera.calls.wps;
    // Only a wait can show that nothing more comes: a dozen ticks' worth.
    QTest::qWait(60);
    QCOMPARE(fx_->camera.calls.wps.load(), before);
}

QTEST_MAIN(WpsPagesTest)
#include "wireless_wps_test.moc"

// The camera operations behind codes 18 and 19 and the timers that watch
// them, driven tick by tick with a scripted worker body and a scripted
// discovery search: when the worker is first looked at, when each timer
// gives up, which message each outcome shows, what is handed over, and that
// the worker's own copy of the record reaches the live one only when the
// task has ended (never for a task that was given up on).
#include <arpa/inet.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/camera/HttpTransport.h"
#include "core/settings/FixedField.h"
#include "gui/app/CSubWait.h"
#include "gui/app/CameraOperations.h"
#include "gui/dialogs/CDlgLoginRoot.h"
#include "gui/pages/CSubSetupFinish.h"
#include "gui/pages/CWizardPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;
using discovery::DiscoveredCamera;

namespace {

// The subnet step is the host network's business; here it only counts.
class TestOperations : public CameraOperations {
public:
    using CameraOperations::CameraOperations;
    void EnsureCameraSubnet() override { ++ensureCalls; }
    int ensureCalls = 0;
};

const char* kLanguage =
    "[WizardDlg]\nMessage2=M2\nMessage3=M3\nMessage4=M4\nMessage5=M5\nMessage6=M6\nMessage7=M7\nMessage8=M8\n"
    "[WaitDlg]\nnote2=reading\nnote3=saving\nnote4=finding\n";

DiscoveredCamera Record(const char* serial, const char* ip, const char* port) {
    DiscoveredCamera c{};
    SetField(c.SerialNo, serial);
    SetField(c.IpText, ip);
    SetField(c.PortText, port);
    SetField(c.MacText, "00:0E:53:00:00:01");
    SetField(c.DescInterface, "Cam/ethernet");
    return c;
}

// A camera on loopback that refuses every login, answering `replies`
// requests and then closing.
class RefusingCamera {
public:
    explicit RefusingCamera(int replies) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(fd_, 8);
        socklen_t len = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this, replies] {
            for (int i = 0; i < replies; ++i) {
                const int c = accept(fd_, nullptr, nullptr);
                if (c < 0) return;
                char buf[2048];
                (void)recv(c, buf, sizeof buf, 0);
                static const char kReply[] = "HTTP/1.0 401 Unauthorized\r\n\r\nUnauthorized\r\n";
                (void)send(c, kReply, sizeof kReply - 1, MSG_NOSIGNAL);
                close(c);
            }
        });
    }
    ~RefusingCamera() {
        shutdown(fd_, SHUT_RDWR);
        thread_.join();
        close(fd_);
    }
    std::string Port() const { return std::to_string(port_); }

private:
    int fd_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
};

}  // namespace

class GuidedOperationsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readIsShownForSevenTicksEvenWhenQuick();
    void readGivesUpOnThe22ndTickAndDropsTheWorkersResults();
    void noNewTaskWhileAGivenUpOneStillRuns();
    void readFailureMessages_data();
    void readFailureMessages();
    void saveOutcomes_data();
    void saveOutcomes();
    void saveGivesUpOnThe101stTick();
    void refindWalksRecordsOnlyOnAChangeAndShowsTheCamera();
    void refindGivesUpAt1500();
    void closingTheWindowCancelsTheWorker();
    void closedLoginDialogStillRetriesAsRoot();
    void failedScanKeepsThePage();

private:
    void Tick(int n) {
        for (int i = 0; i < n; ++i) ops_->TickProgress();
    }
    // Runs the commands the operations posted.
    void RunPosted() { QCoreApplication::sendPostedEvents(&fx_->Dlg(), 0); }
    int CurrentPage() { return fx_->Dlg().Pages().CurrentIndex(); }
    void WaitForWorker() {
        QTRY_VERIFY_WITH_TIMEOUT(!ops_->WorkerAlive(), 5000);
    }

    std::unique_ptr<WizardFixture> fx_;
    TestOperations* ops_ = nullptr;
};

void GuidedOperationsTest::init() {
    fx_ = std::make_unique<WizardFixture>();
    fx_->WriteLanguage(QStringLiteral("English (ENG).ini"), QString::fromLatin1(kLanguage));
    fx_->RememberLanguage(QStringLiteral("English (ENG).ini"));
    fx_->Start();
    auto ops = std::make_unique<TestOperations>(fx_->Dlg());
    ops_ = ops.get();
    ops_->SetTimersRunning(false);  // every tick is the test's
    fx_->Dlg().SetCameraOperations(std::move(ops));
    // R4's first read goes nowhere: no port, so it fails at once (not -8).
    SetField(fx_->Settings().CamPort, "");
}

void GuidedOperationsTest::cleanup() {
    QVERIFY(!fx_->prompter.HadUnexpected());
    fx_.reset();
}

void GuidedOperationsTest::readIsShownForSevenTicksEvenWhenQuick() {
    fx_->Settings().NewEnvironment = 1;
    ops_->SetTaskBody([](WorkerTask& t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        SetField(t.settings.ModelName, "Kestra-B2");
        t.settings.Loaded = 1;
        t.apList.resize(2);
        t.hasProbeResult = true;
        t.probeResult = 0x0A000005;
        t.succeeded = true;
    });
    fx_->Dlg().HandleCommand(cmd::kReadCamera);
    QCOMPARE(ops_->ensureCalls, 1);
    QVERIFY(!fx_->Dlg().isEnabled());
    QVERIFY(fx_->Dlg().WaitDialog()->isVisible());
    // The progress stays readable (not greyed) under the disabled window.
    QVERIFY(fx_->Dlg().WaitDialog()->isEnabled());
    QCOMPARE(fx_->Dlg().WaitDialog()->Maximum(), 450);
    QCOMPARE(fx_->Dlg().WaitDialog()->Text(), QStringLiteral("reading"));
    std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the worker has ended

    // Six ticks take the bar to 300 without looking at the worker.
    Tick(6);
    QCOMPARE(ops_->Position(), 300);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Reading);
    QCOMPARE(fx_->Settings().Loaded, uint8_t{0});  // nothing applied yet
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QVERIFY(fx_->Dlg().isEnabled());
    QVERIFY(!fx_->Dlg().WaitDialog()->isVisible());
    // The worker's copy is now the record; the kept values are handed over.
    QCOMPARE(fx_->Settings().Loaded, uint8_t{1});
    QCOMPARE(FieldText(fx_->Settings().ModelName), std::string_view("Kestra-B2"));
    QCOMPARE(fx_->Settings().KeepConnecting, uint8_t{1});
    QCOMPARE(ops_->Kept().accessPoints.size(), std::size_t{2});
    QVERIFY(ops_->Kept().ProbeCell() != nullptr);
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageOption));  // a new environment goes to the option page
    QVERIFY(fx_->prompter.Prompts().empty());
}

void GuidedOperationsTest::readGivesUpOnThe22ndTickAndDropsTheWorkersResults() {
    fx_->Dlg().HandleCommand(cmd::kSearchPage);
    RunPosted();
    ops_->SetTaskBody([](WorkerTask& t) {
        // Runs until told to stop, as a connect does once KeepConnecting is
        // cleared; then writes into its copy, which must go nowhere.
        while (KeepConnectingNow(t.settings)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        SetField(t.settings.ModelName, "late");
        t.succeeded = true;
    });
    fx_->Dlg().HandleCommand(cmd::kReadCamera);
    Tick(21);
    QCOMPARE(ops_->Position(), 450);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Reading);
    QVERIFY(fx_->prompter.Prompts().empty());
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QVERIFY(!ops_->ProgressTimerActive());
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    const auto& p = fx_->prompter.Prompts()[0];
    QCOMPARE(p.text, QStringLiteral("M2"));
    QCOMPARE(p.caption, QStringLiteral("Orvanta"));
    QCOMPARE(p.icon, PromptIcon::Exclamation);
    QVERIFY(fx_->Dlg().isEnabled());
    QCOMPARE(CurrentPage(), int(kPageSearchNet));
    WaitForWorker();  // cancelled: it stops on its own
    QCOMPARE(FieldText(fx_->Settings().ModelName), std::string_view(""));
    QCOMPARE(fx_->Settings().KeepConnecting, uint8_t{1});  // only the worker's copy was cancelled
    QVERIFY(ops_->Kept().ProbeCell() == nullptr);
}

void GuidedOperationsTest::noNewTaskWhileAGivenUpOneStillRuns() {
    std::atomic<bool> release{false};
    std::atomic<int> runs{0};
    // Let the worker go whatever happens, so a failed check cannot hang the
    // window's destructor on it.
    const std::unique_ptr<std::atomic<bool>, void (*)(std::atomic<bool>*)> guard(&release,
                                                                               [](std::atomic<bool>* r) { *r = true; });
    ops_->SetTaskBody([&](WorkerTask&) {
        ++runs;
        // A request that does not notice the cancel (a slow reply).
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
    fx_->Dlg().HandleCommand(cmd::kReadCamera);
    QTRY_COMPARE(runs.load(), 1);
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(22);  // given up
    QVERIFY(ops_->WorkerAlive());
    // Neither a read nor a save may start beside it.
    fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->Dlg().HandleCommand(cmd::kReadCamera);
    fx_->Dlg().HandleCommand(cmd::kSaveCamera);
    QCOMPARE(runs.load(), 1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QVERIFY(fx_->Dlg().isEnabled());
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{3});
    QCOMPARE(fx_->prompter.Prompts()[1].text, QStringLiteral("M2"));
    release = true;
    WaitForWorker();
    // Once it has ended, a new task runs.
    ops_->SetTaskBody([&](WorkerTask& t) {
        ++runs;
        t.succeeded = true;
    });
    fx_->Dlg().HandleCommand(cmd::kReadCamera);
    QTRY_COMPARE(runs.load(), 2);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Reading);
}

void GuidedOperationsTest::readFailureMessages_data() {
    QTest::addColumn<int>("lastResult");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    // A refusal is told apart from every other failure.
    QTest::newRow("refused") << -8 << QStringLiteral("M8") << int(PromptIcon::Stop);
    QTest::newRow("no connection") << -1 << QStringLiteral("M2") << int(PromptIcon::Exclamation);
    // A failed scan reports a byte count, not a negative code.
    QTest::newRow("scan without result") << 120 << QStringLiteral("M2") << int(PromptIcon::Exclamation);
}

void GuidedOperationsTest::readFailureMessages() {
    QFETCH(int, lastResult);
    QFETCH(QString, text);
    QFETCH(int, icon);
    fx_->Dlg().HandleCommand(cmd::kSearchPage);
    RunPosted();
    ops_->SetTaskBody([lastResult](WorkerTask& t) {
        // Pages read before the failing step stay in the record.
        SetField(t.settings.TitleBar, "front door");
        t.hasProbeResult = true;
        t.apList.resize(1);
        t.lastResult = lastResult;
        t.succeeded = false;
    });
    fx_->Dlg().HandleCommand(cmd::kReadCamera);
    WaitForWorker();
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(7);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, text);
    QCOMPARE(int(fx_->prompter.Prompts()[0].icon), icon);
    QCOMPARE(fx_->prompter.Prompts()[0].caption, QString());
    QCOMPARE(FieldText(fx_->Settings().TitleBar), std::string_view("front door"));
    // Scan list and proposal are handed over only when the read ends well.
    QVERIFY(ops_->Kept().ProbeCell() == nullptr);
    QVERIFY(ops_->Kept().accessPoints.empty());
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageSearchNet));
}

void GuidedOperationsTest::saveOutcomes_data() {
    QTest::addColumn<bool>("succeeded");
    QTest::addColumn<int>("linkWireless");
    QTest::addColumn<int>("hasWireless");
    QTest::addColumn<int>("useWps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("page");
    // Manual path (no new environment): message, then the first page.
    QTest::newRow("wired saved") << true << 0 << 1 << 0 << QStringLiteral("M4") << 3 << int(kPageFirst);
    // Wireless link on a camera with wireless: the unplug hint.
    QTest::newRow("wireless saved") << true << 1 << 1 << 0 << QStringLiteral("M3") << 3 << int(kPageFirst);
    // Wireless chosen but the camera has none: the plain message.
    QTest::newRow("wireless on wired camera") << true << 1 << 0 << 0 << QStringLiteral("M4") << 3 << int(kPageFirst);
    // WPS chosen selects the WPS save; a failure keeps the page.
    QTest::newRow("wps save failed") << false << 1 << 1 << 1 << QStringLiteral("M2") << 6 << int(kPageDDNS);
}

void GuidedOperationsTest::saveOutcomes() {
    QFETCH(bool, succeeded);
    QFETCH(int, linkWireless);
    QFETCH(int, hasWireless);
    QFETCH(int, useWps);
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(int, page);
    fx_->Dlg().HandleCommand(cmd::kDdnsPage);
    CameraSettings& s = fx_->Settings();
    s.WizardMode = 0;
    s.LinkWireless = static_cast<uint8_t>(linkWireless);
    s.HasWireless = static_cast<uint8_t>(hasWireless);
    s.UseWPS = static_cast<uint8_t>(useWps);
    std::atomic<int> seenKind{0};
    ops_->SetTaskBody([&, succeeded](WorkerTask& t) {
        seenKind = t.kind;
        t.succeeded = succeeded;
    });
    fx_->Dlg().HandleCommand(cmd::kSaveCamera);
    QCOMPARE(fx_->Dlg().WaitDialog()->Maximum(), 1000);
    WaitForWorker();
    QCOMPARE(seenKind.load(), kind);
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(5);  // five ticks without looking
    QCOMPARE(ops_->Position(), 50);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Saving);
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, text);
    QCOMPARE(fx_->prompter.Prompts()[0].caption, QString());
    RunPosted();
    QCOMPARE(CurrentPage(), page);
    QVERIFY(!ops_->RefindTimerActive());
}

void GuidedOperationsTest::saveGivesUpOnThe101stTick() {
    std::atomic<bool> release{false};
    const std::unique_ptr<std::atomic<bool>, void (*)(std::atomic<bool>*)> guard(&release,
                                                                               [](std::atomic<bool>* r) { *r = true; });
    ops_->SetTaskBody([&](WorkerTask&) {
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
    fx_->Dlg().HandleCommand(cmd::kSaveCamera);
    Tick(100);
    QCOMPARE(ops_->Position(), 1000);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Saving);
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, QStringLiteral("M2"));
    QCOMPARE(fx_->prompter.Prompts()[0].caption, QString());
    release = true;
    WaitForWorker();
}

void GuidedOperationsTest::refindWalksRecordsOnlyOnAChangeAndShowsTheCamera() {
    CameraSettings& s = fx_->Settings();
    s.WizardMode = 1;
    s.NewEnvironment = 1;
    SetField(s.CamSerial, "SN-42");
    ops_->SetTaskBody([](WorkerTask& t) { t.succeeded = true; });
    // Search calls: position and restart flag; the first result is "no
    // change" although the camera is listed, so it must not be taken.
    std::vector<std::pair<int, int>> calls;
    std::vector<DiscoveredCamera> records = {Record("SN-7", "127.0.0.1", "1"), Record("SN-42", "127.0.0.1", "1")};
    ops_->SetCameraSearch([&](DiscoveredCamera** out, int* count, int restart) {
        calls.emplace_back(ops_->Position() - 10, restart);
        *out = records.data();
        *count = static_cast<int>(records.size());
        return calls.size() == 1 ? 0 : 1;
    });
    fx_->Dlg().HandleCommand(cmd::kSaveCamera);
    WaitForWorker();
    fx_->prompter.Answer(PromptAnswer::Ok);  // M4
    Tick(6);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Refinding);
    QVERIFY(ops_->RefindTimerActive());
    QCOMPARE(fx_->Dlg().WaitDialog()->Maximum(), 1500);
    QCOMPARE(fx_->Dlg().WaitDialog()->Text(), QStringLiteral("finding"));
    for (int i = 0; i < 20; ++i) ops_->TickRefind();
    QVERIFY(calls.empty());  // nothing before 200
    ops_->TickRefind();      // P = 200: the first search, restarted
    QCOMPARE(calls.size(), std::size_t{1});
    QCOMPARE(calls[0], std::make_pair(200, 1));
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Refinding);
    for (int i = 0; i < 9; ++i) ops_->TickRefind();
    QCOMPARE(calls.size(), std::size_t{1});
    fx_->prompter.Answer(PromptAnswer::Ok);  // M6
    ops_->TickRefind();  // P = 300: a change, walked
    QCOMPARE(calls.size(), std::size_t{2});
    QCOMPARE(calls[1], std::make_pair(300, 0));
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QCOMPARE(FieldText(s.CamIP), std::string_view("127.0.0.1"));
    QCOMPARE(FieldText(s.CamPort), std::string_view("1"));
    QCOMPARE(s.CamAddr, htonl(0x7F000001));
    QCOMPARE(ops_->ensureCalls, 1);  // code 17 sent on the spot
    QCOMPARE(fx_->prompter.Prompts().back().text, QStringLiteral("M6"));
    QCOMPARE(fx_->prompter.Prompts().back().icon, PromptIcon::Information);
    QVERIFY(fx_->Dlg().isEnabled());
    QVERIFY(!fx_->Dlg().WaitDialog()->isVisible());
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageSetupFinish));
    auto* finish = static_cast<CSubSetupFinish*>(fx_->Dlg().Page(kPageSetupFinish));
    QCOMPARE(finish->WebAddress(), QStringLiteral("http://127.0.0.1:1"));
}

void GuidedOperationsTest::refindGivesUpAt1500() {
    CameraSettings& s = fx_->Settings();
    s.WizardMode = 1;
    s.NewEnvironment = 1;
    ops_->SetTaskBody([](WorkerTask& t) { t.succeeded = true; });
    int searches = 0;
    ops_->SetCameraSearch([&](DiscoveredCamera**, int* count, int) {
        ++searches;
        *count = 0;
        return 1;
    });
    fx_->Dlg().HandleCommand(cmd::kSaveCamera);
    WaitForWorker();
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(6);
    for (int i = 0; i < 150; ++i) ops_->TickRefind();
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Refinding);
    QCOMPARE(searches, 13);  // 200, 300, ..., 1400
    fx_->prompter.Answer(PromptAnswer::Ok);
    ops_->TickRefind();  // tick 151
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QCOMPARE(fx_->prompter.Prompts().back().text, QStringLiteral("M5"));
    QCOMPARE(fx_->prompter.Prompts().back().icon, PromptIcon::Exclamation);
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageFirst));
    QVERIFY(fx_->Dlg().isEnabled());
}

void GuidedOperationsTest::closingTheWindowCancelsTheWorker() {
    // The worker has its own copy of the record, so clearing the window's
    // KeepConnecting would not reach it: closing must.
    ops_->SetTaskBody([](WorkerTask& t) {
        while (KeepConnectingNow(t.settings)) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    });
    fx_->Dlg().HandleCommand(cmd::kSaveCamera);
    QVERIFY(ops_->WorkerAlive());
    QCloseEvent close;
    QCoreApplication::sendEvent(&fx_->Dlg(), &close);
    WaitForWorker();
}

void GuidedOperationsTest::closedLoginDialogStillRetriesAsRoot() {
    // Empty login refused, the login read refused as well: three requests.
    RefusingCamera camera(3);
    SetField(fx_->Settings().CamIP, "127.0.0.1");
    SetField(fx_->Settings().CamPort, camera.Port());
    int runs = 0;
    ops_->SetTaskBody([&runs](WorkerTask&) { ++runs; });
    // The dialog is closed without OK: the retry goes out as "root" with
    // an empty password, and its refusal is the login message.
    fx_->prompter.AnswerDialog([](QDialog& d) -> int {
        if (dynamic_cast<CDlgLoginRoot*>(&d) == nullptr) return -1;
        d.reject();
        return int(QDialog::Rejected);
    });
    fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->Dlg().HandleCommand(cmd::kReadCamera);
    QCOMPARE(fx_->prompter.Dialogs(), QStringList{QStringLiteral("orvanta::CDlgLoginRoot")});
    QCOMPARE(FieldText(fx_->Settings().User), std::string_view("root"));
    QCOMPARE(FieldText(fx_->Settings().Password), std::string_view(""));
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, QStringLiteral("M7"));
    QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Stop);
    QCOMPARE(fx_->prompter.Prompts()[0].caption, QString());
    QVERIFY(fx_->Dlg().isEnabled());
    QCOMPARE(runs, 0);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
}

void GuidedOperationsTest::failedScanKeepsThePage() {
    fx_->Dlg().HandleCommand(cmd::kDdnsPage);
    fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->Dlg().HandleCommand(cmd::kScanNow);  // no camera port: the scan fails
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, QStringLiteral("M2"));
    QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Exclamation);
    QVERIFY(!fx_->Dlg().WaitDialog()->isVisible());
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageDDNS));
}

QTEST_MAIN(GuidedOperationsTest)
#include "guided_operations_test.moc"

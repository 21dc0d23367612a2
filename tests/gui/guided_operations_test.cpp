// The camera operations behind ReadCamera and SaveCamera and the timers that watch
// them, driven tick by tick against a scripted camera (its reads, saves and
// discovery search): when the worker is first looked at, when each timer
// gives up, which message each outcome shows, what is handed over, and that
// the worker's own copy of the record reaches the live one only when the
// task has ended (never for a task that was given up on).
#include <arpa/inet.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTest>

#include "core/settings/FixedField.h"
#include "gui/app/WaitDialog.h"
#include "gui/app/CameraOperations.h"
#include "gui/dialogs/RootLoginDialog.h"
#include "gui/pages/SetupFinishedPage.h"
#include "gui/framework/WizardPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;
using discovery::DiscoveredCamera;

Q_DECLARE_METATYPE(orvanta::HttpResult)

namespace {

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
    void RunPosted() { QCoreApplication::sendPostedEvents(&fx_->Window(), 0); }
    int CurrentPage() { return fx_->Window().Pages().CurrentIndex(); }
    void WaitForWorker() {
        QTRY_VERIFY_WITH_TIMEOUT(!ops_->WorkerAlive(), 5000);
    }
    // The subnet step (EnsureCameraSubnet) adds an address in the camera's subnet.
    std::size_t AliasesAdded() { return fx_->net.CallsOf("add").size(); }

    std::unique_ptr<WizardFixture> fx_;
    FakeCameraService* camera_ = nullptr;
    CameraOperations* ops_ = nullptr;
};

void GuidedOperationsTest::init() {
    fx_ = std::make_unique<WizardFixture>();
    fx_->WriteLanguage(QStringLiteral("English (ENG).ini"), QString::fromLatin1(kLanguage));
    fx_->RememberLanguage(QStringLiteral("English (ENG).ini"));
    fx_->Start();
    camera_ = &fx_->camera;
    ops_ = &fx_->Window().Operations();
    ops_->SetTimersRunning(false);  // every tick is the test's
    // A camera outside the PC's subnet: EnsureCameraSubnet adds an alias for it.
    hostnet::Adapter card;
    card.index = 2;
    card.name = "eth0";
    card.type = hostnet::AdapterType::Ethernet;
    card.up = true;
    card.addresses = {{hostnet::Ip("10.1.1.5"), hostnet::Ip("255.255.255.0")}};
    fx_->net.listing.adapters = {card};
    fx_->Settings().HostIfIndex = 2;
    fx_->Settings().CamAddr = hostnet::Ip("192.168.5.20");
    fx_->Settings().CamMask = hostnet::Ip("255.255.255.0");
}

void GuidedOperationsTest::cleanup() {
    // A held worker goes before the window that joins it.
    camera_->Release();
    QVERIFY(!fx_->prompter.HadUnexpected());
    fx_.reset();
}

void GuidedOperationsTest::readIsShownForSevenTicksEvenWhenQuick() {
    fx_->Settings().NewEnvironment = 1;
    camera_->read = [](CameraSettings& s, std::vector<AccessPointEntry>& aps) {
        SetField(s.ModelName, "Kestra-B2");
        s.Loaded = 1;
        aps.resize(2);
        return SequenceOutcome{true, {}};
    };
    // Held until the subnet step has been looked at: the worker's address
    // walk uses the same fake host network.
    camera_->Hold(false);
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    QCOMPARE(AliasesAdded(), std::size_t{1});
    QVERIFY(!fx_->Window().isEnabled());
    QVERIFY(fx_->Window().PleaseWait()->isVisible());
    // The progress stays readable (not greyed) under the disabled window.
    QVERIFY(fx_->Window().PleaseWait()->isEnabled());
    QCOMPARE(fx_->Window().PleaseWait()->Maximum(), 450);
    QCOMPARE(fx_->Window().PleaseWait()->Text(), QStringLiteral("reading"));
    camera_->Release();
    WaitForWorker();  // quick: ended before the progress looks at it

    // Six ticks take the bar to 300 without looking at the worker.
    Tick(6);
    QCOMPARE(ops_->Position(), 300);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Reading);
    QCOMPARE(fx_->Settings().Loaded, uint8_t{0});  // nothing applied yet
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QVERIFY(fx_->Window().isEnabled());
    QVERIFY(!fx_->Window().PleaseWait()->isVisible());
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
    fx_->Window().HandleCommand(WizardCommand::ShowSearchPage);
    RunPosted();
    // Runs until told to stop, as a connect does once KeepConnecting is
    // cleared; then writes into its copy, which must go nowhere.
    camera_->Hold(true);
    camera_->read = [](CameraSettings& s, std::vector<AccessPointEntry>&) {
        SetField(s.ModelName, "late");
        return SequenceOutcome{true, {}};
    };
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
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
    QCOMPARE(p.icon, PromptIcon::Warning);
    QVERIFY(fx_->Window().isEnabled());
    QCOMPARE(CurrentPage(), int(kPageSearch));
    WaitForWorker();  // cancelled: it stops on its own
    QCOMPARE(FieldText(fx_->Settings().ModelName), std::string_view(""));
    QCOMPARE(fx_->Settings().KeepConnecting, uint8_t{1});  // only the worker's copy was cancelled
    QVERIFY(ops_->Kept().ProbeCell() == nullptr);
}

void GuidedOperationsTest::noNewTaskWhileAGivenUpOneStillRuns() {
    // A request that does not notice the cancel (a slow reply).
    camera_->Hold(false);
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    QTRY_COMPARE(camera_->calls.reads.load(), 1);
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(22);  // given up
    QVERIFY(ops_->WorkerAlive());
    // Neither a read nor a save may start beside it.
    fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    fx_->Window().HandleCommand(WizardCommand::SaveCamera);
    QCOMPARE(camera_->calls.reads.load(), 1);
    QCOMPARE(camera_->calls.saves.load(), 0);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QVERIFY(fx_->Window().isEnabled());
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{3});
    QCOMPARE(fx_->prompter.Prompts()[1].text, QStringLiteral("M2"));
    camera_->Release();
    WaitForWorker();
    // Once it has ended, a new task runs.
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    QTRY_COMPARE(camera_->calls.reads.load(), 2);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Reading);
}

void GuidedOperationsTest::readFailureMessages_data() {
    QTest::addColumn<HttpResult>("lastResult");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    // A refusal is told apart from every other failure.
    QTest::newRow("refused") << HttpResult(HttpStatus::Unauthorized) << QStringLiteral("M8") << int(PromptIcon::Critical);
    QTest::newRow("no connection") << HttpResult(HttpStatus::ConnectFailed) << QStringLiteral("M2") << int(PromptIcon::Warning);
    // A failed scan reports a byte count, not a failing status.
    QTest::newRow("scan without result") << HttpResult::Received(120) << QStringLiteral("M2") << int(PromptIcon::Warning);
}

void GuidedOperationsTest::readFailureMessages() {
    QFETCH(HttpResult, lastResult);
    QFETCH(QString, text);
    QFETCH(int, icon);
    fx_->Window().HandleCommand(WizardCommand::ShowSearchPage);
    RunPosted();
    camera_->read = [lastResult](CameraSettings& s, std::vector<AccessPointEntry>& aps) {
        // Pages read before the failing step stay in the record.
        SetField(s.TitleBar, "front door");
        aps.resize(1);
        return SequenceOutcome{false, lastResult};
    };
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
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
    QCOMPARE(CurrentPage(), int(kPageSearch));
}

void GuidedOperationsTest::saveOutcomes_data() {
    QTest::addColumn<bool>("succeeded");
    QTest::addColumn<int>("linkWireless");
    QTest::addColumn<int>("hasWireless");
    QTest::addColumn<int>("useWps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("afterWps");
    QTest::addColumn<int>("page");
    // Manual path (no new environment): message, then the first page.
    QTest::newRow("wired saved") << true << 0 << 1 << 0 << QStringLiteral("M4") << false << int(kPageStart);
    // Wireless link on a camera with wireless: the unplug hint.
    QTest::newRow("wireless saved") << true << 1 << 1 << 0 << QStringLiteral("M3") << false << int(kPageStart);
    // Wireless chosen but the camera has none: the plain message.
    QTest::newRow("wireless on wired camera") << true << 1 << 0 << 0 << QStringLiteral("M4") << false
                                              << int(kPageStart);
    // WPS chosen selects the WPS save; a failure keeps the page.
    QTest::newRow("wps save failed") << false << 1 << 1 << 1 << QStringLiteral("M2") << true << int(kPageDynamicDns);
}

void GuidedOperationsTest::saveOutcomes() {
    QFETCH(bool, succeeded);
    QFETCH(int, linkWireless);
    QFETCH(int, hasWireless);
    QFETCH(int, useWps);
    QFETCH(QString, text);
    QFETCH(bool, afterWps);
    QFETCH(int, page);
    fx_->Window().HandleCommand(WizardCommand::ShowDdnsPage);
    CameraSettings& s = fx_->Settings();
    s.WizardMode = 0;
    s.LinkWireless = static_cast<uint8_t>(linkWireless);
    s.HasWireless = static_cast<uint8_t>(hasWireless);
    s.UseWPS = static_cast<uint8_t>(useWps);
    const auto saved = [succeeded](CameraSettings&) { return SequenceOutcome{succeeded, {}}; };
    camera_->save = saved;
    camera_->saveAfterWps = saved;
    fx_->Window().HandleCommand(WizardCommand::SaveCamera);
    QCOMPARE(fx_->Window().PleaseWait()->Maximum(), 1000);
    WaitForWorker();
    QCOMPARE(camera_->calls.saves.load(), afterWps ? 0 : 1);
    QCOMPARE(camera_->calls.savesAfterWps.load(), afterWps ? 1 : 0);
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
    camera_->Hold(false);
    fx_->Window().HandleCommand(WizardCommand::SaveCamera);
    Tick(100);
    QCOMPARE(ops_->Position(), 1000);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Saving);
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, QStringLiteral("M2"));
    QCOMPARE(fx_->prompter.Prompts()[0].caption, QString());
    camera_->Release();
    WaitForWorker();
}

void GuidedOperationsTest::refindWalksRecordsOnlyOnAChangeAndShowsTheCamera() {
    CameraSettings& s = fx_->Settings();
    s.WizardMode = 1;
    s.NewEnvironment = 1;
    SetField(s.CamSerial, "SN-42");
    camera_->save = [](CameraSettings&) { return SequenceOutcome{true, {}}; };
    // Search calls: position and restart flag; the first result is "no
    // change" although the camera is listed, so it must not be taken.
    std::vector<std::pair<int, int>> calls;
    std::vector<DiscoveredCamera> records = {Record("SN-7", "192.168.5.30", "1"), Record("SN-42", "192.168.5.30", "1")};
    camera_->search = [&](bool restart) -> SearchResult {
        calls.emplace_back(ops_->Position() - 10, restart ? 1 : 0);
        return {calls.size() == 1 ? SearchChange::Unchanged : SearchChange::Rebuilt, records};
    };
    fx_->Window().HandleCommand(WizardCommand::SaveCamera);
    WaitForWorker();
    fx_->prompter.Answer(PromptAnswer::Ok);  // M4
    Tick(6);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Refinding);
    QVERIFY(ops_->RefindTimerActive());
    QCOMPARE(fx_->Window().PleaseWait()->Maximum(), 1500);
    QCOMPARE(fx_->Window().PleaseWait()->Text(), QStringLiteral("finding"));
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
    QCOMPARE(FieldText(s.CamIP), std::string_view("192.168.5.30"));
    QCOMPARE(FieldText(s.CamPort), std::string_view("1"));
    QCOMPARE(s.CamAddr, hostnet::Ip("192.168.5.30"));
    QCOMPARE(AliasesAdded(), std::size_t{1});  // EnsureCameraSubnet sent on the spot
    QCOMPARE(camera_->calls.endSearches.load(), 1);  // the search's client is let go
    QCOMPARE(fx_->prompter.Prompts().back().text, QStringLiteral("M6"));
    QCOMPARE(fx_->prompter.Prompts().back().icon, PromptIcon::Information);
    QVERIFY(fx_->Window().isEnabled());
    QVERIFY(!fx_->Window().PleaseWait()->isVisible());
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageSetupFinished));
    auto* finish = static_cast<SetupFinishedPage*>(fx_->Window().Page(kPageSetupFinished));
    QCOMPARE(finish->WebAddress(), QStringLiteral("http://192.168.5.30:1"));
}

void GuidedOperationsTest::refindGivesUpAt1500() {
    CameraSettings& s = fx_->Settings();
    s.WizardMode = 1;
    s.NewEnvironment = 1;
    camera_->save = [](CameraSettings&) { return SequenceOutcome{true, {}}; };
    camera_->search = [](bool) { return SearchResult{SearchChange::Rebuilt, {}}; };
    fx_->Window().HandleCommand(WizardCommand::SaveCamera);
    WaitForWorker();
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(6);
    for (int i = 0; i < 150; ++i) ops_->TickRefind();
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Refinding);
    QCOMPARE(camera_->calls.searchSteps.load(), 13);  // 200, 300, ..., 1400
    fx_->prompter.Answer(PromptAnswer::Ok);
    ops_->TickRefind();  // tick 151
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QCOMPARE(fx_->prompter.Prompts().back().text, QStringLiteral("M5"));
    QCOMPARE(fx_->prompter.Prompts().back().icon, PromptIcon::Warning);
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageStart));
    QVERIFY(fx_->Window().isEnabled());
}

void GuidedOperationsTest::closingTheWindowCancelsTheWorker() {
    // The worker has its own copy of the record, so clearing the window's
    // KeepConnecting would not reach it: closing must.
    camera_->Hold(true);
    fx_->Window().HandleCommand(WizardCommand::SaveCamera);
    QVERIFY(ops_->WorkerAlive());
    QCloseEvent close;
    QCoreApplication::sendEvent(&fx_->Window(), &close);
    WaitForWorker();
}

void GuidedOperationsTest::closedLoginDialogStillRetriesAsRoot() {
    // Empty login refused; the login read takes any answer, but the check
    // read beside it is refused as well.
    camera_->readGroup = [](CameraSettings&, ParameterGroup) { return HttpResult(HttpStatus::Unauthorized); };
    camera_->readAfterLogin = [](CameraSettings&) { return HttpResult::Received(40); };
    // The dialog is closed without OK: the retry goes out as "root" with
    // an empty password, and its refusal is the login message.
    fx_->prompter.AnswerDialog([](QDialog& d) -> int {
        if (dynamic_cast<RootLoginDialog*>(&d) == nullptr) return -1;
        d.reject();
        return int(QDialog::Rejected);
    });
    fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    QCOMPARE(fx_->prompter.Dialogs(), QStringList{QStringLiteral("orvanta::RootLoginDialog")});
    QCOMPARE(FieldText(fx_->Settings().User), std::string_view("root"));
    QCOMPARE(FieldText(fx_->Settings().Password), std::string_view(""));
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, QStringLiteral("M7"));
    QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Critical);
    QCOMPARE(fx_->prompter.Prompts()[0].caption, QString());
    QVERIFY(fx_->Window().isEnabled());
    QCOMPARE(camera_->calls.readGroups.load(), 2);
    QCOMPARE(camera_->calls.readsAfterLogin.load(), 1);
    QCOMPARE(camera_->calls.reads.load(), 0);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
}

void GuidedOperationsTest::failedScanKeepsThePage() {
    fx_->Window().HandleCommand(WizardCommand::ShowDdnsPage);
    fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->Window().HandleCommand(WizardCommand::ScanAccessPoints);  // the camera gives no scan result
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, QStringLiteral("M2"));
    QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Warning);
    QVERIFY(!fx_->Window().PleaseWait()->isVisible());
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageDynamicDns));
}

QTEST_MAIN(GuidedOperationsTest)
#include "guided_operations_test.moc"

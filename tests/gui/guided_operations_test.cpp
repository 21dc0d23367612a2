// The camera operations behind ReadCamera, SaveCamera and the access-point
// scan, driven tick by tick against a scripted camera (its requests and its
// discovery search) while the real operations of the camera service run on
// the worker: the login and the root-password dialog, the progress the wait
// window shows, its Cancel, when the window gives up, which message each
// outcome shows, what is handed over, and that the worker's own copy of the
// record reaches the live one only when the work has ended (never for work
// that was given up on).
#include <atomic>

#include <arpa/inet.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTest>

#include <QLineEdit>
#include <QPushButton>

#include "core/camera/CameraRequest.h"
#include "core/settings/FixedField.h"
#include "gui/app/WaitDialog.h"
#include "gui/app/CameraOperations.h"
#include "gui/dialogs/RootLoginDialog.h"
#include "gui/pages/ServerLoginPage.h"
#include "gui/pages/SetupFinishedPage.h"
#include "gui/pages/WpsPage.h"
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

WriteAnswer Written() {
    WriteAnswer a;
    a.result = HttpResult::Received(20);
    a.sent = true;
    a.code = 200;
    return a;
}

// A camera that answers every read; `model` goes into the record with the
// system page, and a camera with `wireless` says so on its capabilities page.
std::function<HttpResult(CameraSettings&, ParameterGroup)> Answering(const char* model = "", bool wireless = false) {
    return [model, wireless](CameraSettings& s, ParameterGroup group) {
        if (group == ParameterGroup::Sysinfo) SetField(s.ModelName, model);
        if (group == ParameterGroup::Capabilities) s.HasWireless = wireless ? 1 : 0;
        return HttpResult::Received(40);
    };
}

}  // namespace

class GuidedOperationsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readEndsAtTheFirstLookAfterTheWorkerEnds();
    void waitWindowFollowsTheStepsAndCancelEndsTheReadAtTheNextOne();
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
    void scanRunsOnTheWorker_data();
    void scanRunsOnTheWorker();
    void pageRequestsRunOnTheWorker();

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
    WaitDialog& Wait() { return *fx_->Window().PleaseWait(); }
    // A save that the camera takes, then the refind.
    void SaveForRefind();

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

void GuidedOperationsTest::readEndsAtTheFirstLookAfterTheWorkerEnds() {
    fx_->Settings().NewEnvironment = 1;
    camera_->readGroup = Answering("Kestra-B2", true);
    camera_->scan = [](CameraSettings& s, HttpResult* r) {
        s.APScanOK = 1;
        *r = HttpResult::Received(300);
        return std::vector<AccessPointEntry>(2);
    };
    // Held, so the window's side is looked at while the worker waits.
    camera_->Hold(false);
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    QVERIFY(!fx_->Window().isEnabled());
    QVERIFY(Wait().isVisible());
    // The progress stays readable (not greyed) under the disabled window.
    QVERIFY(Wait().isEnabled());
    QVERIFY(Wait().CancelShown());
    QCOMPARE(Wait().Text(), QStringLiteral("reading"));
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Reading);
    camera_->Release();
    WaitForWorker();
    QCOMPARE(AliasesAdded(), std::size_t{1});  // the subnet step, on the worker too
    QCOMPARE(fx_->Settings().Loaded, uint8_t{0});  // nothing applied before the window looks
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QVERIFY(fx_->Window().isEnabled());
    QVERIFY(!Wait().isVisible());
    QVERIFY(!Wait().CancelShown());
    // The worker's copy is now the record; the kept values are handed over.
    QCOMPARE(fx_->Settings().Loaded, uint8_t{1});
    QCOMPARE(FieldText(fx_->Settings().ModelName), std::string_view("Kestra-B2"));
    QCOMPARE(fx_->Settings().KeepConnecting, uint8_t{1});
    QCOMPARE(ops_->Kept().accessPoints.size(), std::size_t{2});
    QVERIFY(ops_->Kept().proposal.has_value());
    // The empty login, six pages, no write.
    QCOMPARE(camera_->calls.readGroups.load(), 7);
    QCOMPARE(camera_->calls.writeGroups.load(), 0);
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageOption));  // a new environment goes to the option page
    QVERIFY(fx_->prompter.Prompts().empty());
}

void GuidedOperationsTest::waitWindowFollowsTheStepsAndCancelEndsTheReadAtTheNextOne() {
    fx_->Window().HandleCommand(WizardCommand::ShowSearchPage);
    RunPosted();
    // The network page stalls until the test lets it go.
    std::atomic<bool> go{false};
    const auto answering = Answering("Kestra-B2");
    camera_->readGroup = [&](CameraSettings& s, ParameterGroup group) {
        while (group == ParameterGroup::Network && !go) QThread::msleep(2);
        return answering(s, group);
    };
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    QTRY_COMPARE(camera_->calls.readGroups.load(), 4);
    // The login, the version and the system page are done, of the login and six pages.
    Tick(1);
    QCOMPARE(Wait().Maximum(), 7);
    QCOMPARE(Wait().Position(), 3);
    auto* cancel = Wait().findChild<QPushButton*>(QString::number(WaitDialog::kCancel));
    QVERIFY(cancel != nullptr && cancel->isVisible());
    cancel->click();
    go = true;
    WaitForWorker();
    Tick(1);
    // The network page was the last request; nothing is said, the page stays.
    QCOMPARE(camera_->calls.readGroups.load(), 4);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QVERIFY(fx_->prompter.Prompts().empty());
    QVERIFY(fx_->Window().isEnabled());
    QVERIFY(!Wait().isVisible());
    QCOMPARE(fx_->Settings().KeepConnecting, uint8_t{1});  // only the worker's copy was cancelled
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageSearch));
}

void GuidedOperationsTest::readGivesUpOnThe22ndTickAndDropsTheWorkersResults() {
    fx_->Window().HandleCommand(WizardCommand::ShowSearchPage);
    RunPosted();
    // Runs until told to stop, as a connect does once KeepConnecting is
    // cleared; then writes into its copy, which must go nowhere.
    camera_->Hold(true);
    camera_->readGroup = [](CameraSettings& s, ParameterGroup) {
        SetField(s.ModelName, "late");
        return HttpResult::Received(40);
    };
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    Tick(21);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Reading);
    QVERIFY(fx_->prompter.Prompts().empty());
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
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
    QVERIFY(!ops_->Kept().proposal.has_value());
}

void GuidedOperationsTest::noNewTaskWhileAGivenUpOneStillRuns() {
    // A request that does not notice the cancel (a slow reply).
    camera_->Hold(false);
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    QTRY_COMPARE(camera_->calls.readGroups.load(), 1);
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(22);  // given up
    QVERIFY(ops_->WorkerAlive());
    // Neither a read, a save nor a scan may start beside it.
    for (int i = 0; i < 3; ++i) fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    fx_->Window().HandleCommand(WizardCommand::SaveCamera);
    fx_->Window().HandleCommand(WizardCommand::ScanAccessPoints);
    QCOMPARE(camera_->calls.readGroups.load(), 1);
    QCOMPARE(camera_->calls.writeGroups.load(), 0);
    QCOMPARE(camera_->calls.scans.load(), 0);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QVERIFY(fx_->Window().isEnabled());
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{4});
    QCOMPARE(fx_->prompter.Prompts()[1].text, QStringLiteral("M2"));
    camera_->Release();
    WaitForWorker();
    // Once it has ended, a new task runs.
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    QTRY_COMPARE(camera_->calls.readGroups.load(), 2);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Reading);
}

void GuidedOperationsTest::readFailureMessages_data() {
    QTest::addColumn<int>("failingGroup");
    QTest::addColumn<HttpResult>("failure");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("caption");
    // A refusal after the login is told apart from every other failure.
    QTest::newRow("refused") << int(ParameterGroup::Network) << HttpResult(HttpStatus::Unauthorized) << QStringLiteral("M8")
                             << int(PromptIcon::Critical) << QString();
    QTest::newRow("no connection") << int(ParameterGroup::Network) << HttpResult(HttpStatus::ConnectFailed)
                                   << QStringLiteral("M2") << int(PromptIcon::Warning) << QString();
    // A camera that answers its capabilities with wireless but no scan.
    QTest::newRow("scan without result") << -1 << HttpResult() << QStringLiteral("M2") << int(PromptIcon::Warning)
                                         << QString();
    // The login itself: no answer at all, or out of time (the caption of a give-up).
    QTest::newRow("login unanswered") << int(ParameterGroup::Sysinfo) << HttpResult(HttpStatus::ConnectFailed)
                                      << QStringLiteral("M2") << int(PromptIcon::Warning) << QString();
    QTest::newRow("login out of time") << int(ParameterGroup::Sysinfo) << HttpResult(HttpStatus::TimedOut)
                                       << QStringLiteral("M2") << int(PromptIcon::Warning) << QStringLiteral("Orvanta");
}

void GuidedOperationsTest::readFailureMessages() {
    QFETCH(int, failingGroup);
    QFETCH(HttpResult, failure);
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(QString, caption);
    fx_->Window().HandleCommand(WizardCommand::ShowSearchPage);
    RunPosted();
    camera_->readGroup = [failingGroup, failure](CameraSettings& s, ParameterGroup group) {
        // Pages read before the failing step stay in the record.
        if (int(group) == failingGroup) return failure;
        if (group == ParameterGroup::Sysinfo) SetField(s.TitleBar, "front door");
        if (group == ParameterGroup::Capabilities) s.HasWireless = 1;
        return HttpResult::Received(40);
    };
    camera_->scan = [](CameraSettings& s, HttpResult* r) {
        s.APScanOK = 0;
        *r = HttpResult::Received(120);  // a reply, but no scan in it
        return std::vector<AccessPointEntry>(1);
    };
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    WaitForWorker();
    fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, text);
    QCOMPARE(int(fx_->prompter.Prompts()[0].icon), icon);
    QCOMPARE(fx_->prompter.Prompts()[0].caption, caption);
    // A page that failed fills nothing; those before it stay.
    QCOMPARE(FieldText(fx_->Settings().TitleBar),
             std::string_view(failingGroup == int(ParameterGroup::Sysinfo) ? "" : "front door"));
    // Scan list and proposal are handed over only when the read ends well.
    QVERIFY(!ops_->Kept().proposal.has_value());
    QVERIFY(ops_->Kept().accessPoints.empty());
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageSearch));
}

void GuidedOperationsTest::saveOutcomes_data() {
    QTest::addColumn<int>("replyCode");
    QTest::addColumn<int>("linkWireless");
    QTest::addColumn<int>("hasWireless");
    QTest::addColumn<int>("useWps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("networkGroup");
    QTest::addColumn<int>("page");
    // Manual path (no new environment): message, then the first page.
    QTest::newRow("wired saved") << 200 << 0 << 1 << 0 << QStringLiteral("M4") << int(ParameterGroup::Network) << int(kPageStart);
    // Wireless link on a camera with wireless: the unplug hint.
    QTest::newRow("wireless saved") << 200 << 1 << 1 << 0 << QStringLiteral("M3") << int(ParameterGroup::Network)
                                    << int(kPageStart);
    // Wireless chosen but the camera has none: the plain message.
    QTest::newRow("wireless on wired camera") << 200 << 1 << 0 << 0 << QStringLiteral("M4") << int(ParameterGroup::Network)
                                              << int(kPageStart);
    // WPS chosen writes the short network form; a failure keeps the page.
    QTest::newRow("wps save failed") << 500 << 1 << 1 << 1 << QStringLiteral("M2") << int(ParameterGroup::NetworkShort)
                                     << int(kPageDynamicDns);
    // A write the camera answers with an error status is no save.
    QTest::newRow("refused write") << 403 << 0 << 1 << 0 << QStringLiteral("M2") << -1 << int(kPageDynamicDns);
}

void GuidedOperationsTest::saveOutcomes() {
    QFETCH(int, replyCode);
    QFETCH(int, linkWireless);
    QFETCH(int, hasWireless);
    QFETCH(int, useWps);
    QFETCH(QString, text);
    QFETCH(int, networkGroup);
    QFETCH(int, page);
    fx_->Window().HandleCommand(WizardCommand::ShowDdnsPage);
    CameraSettings& s = fx_->Settings();
    s.WizardMode = 0;
    s.LinkWireless = static_cast<uint8_t>(linkWireless);
    s.HasWireless = static_cast<uint8_t>(hasWireless);
    s.UseWPS = static_cast<uint8_t>(useWps);
    std::vector<int> written;  // wire numbers of the groups written
    // The code answers the last write, or the first when the save stops there.
    const int answeredGroup = networkGroup >= 0 ? networkGroup : int(ParameterGroup::Sysinfo);
    camera_->writeGroup = [&written, replyCode, answeredGroup](CameraSettings&, ParameterGroup group) {
        written.push_back(int(group));
        WriteAnswer a = Written();
        if (int(group) == answeredGroup) {
            a.code = replyCode;
            if (replyCode != 200) a.result = HttpStatus::Failure;
        }
        return a;
    };
    camera_->readGroup = Answering();
    fx_->Window().HandleCommand(WizardCommand::SaveCamera);
    QCOMPARE(Wait().Text(), QStringLiteral("saving"));
    WaitForWorker();
    if (networkGroup >= 0) QCOMPARE(written.back(), networkGroup);
    else QCOMPARE(written, std::vector<int>{int(ParameterGroup::Sysinfo)});  // stopped at the first refusal
    fx_->prompter.Answer(PromptAnswer::Ok);
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

void GuidedOperationsTest::SaveForRefind() {
    CameraSettings& s = fx_->Settings();
    s.WizardMode = 1;
    s.NewEnvironment = 1;
    camera_->writeGroup = [](CameraSettings&, ParameterGroup) { return Written(); };
    fx_->Window().HandleCommand(WizardCommand::SaveCamera);
    WaitForWorker();
    fx_->prompter.Answer(PromptAnswer::Ok);  // M4
    Tick(1);
}

void GuidedOperationsTest::refindWalksRecordsOnlyOnAChangeAndShowsTheCamera() {
    CameraSettings& s = fx_->Settings();
    SetField(s.CamSerial, "SN-42");
    // Search calls: position and restart flag; the first result is "no
    // change" although the camera is listed, so it must not be taken.
    std::vector<std::pair<int, int>> calls;
    std::vector<DiscoveredCamera> records = {Record("SN-7", "192.168.5.30", "1"), Record("SN-42", "192.168.5.30", "1")};
    camera_->search = [&](bool restart) -> SearchResult {
        calls.emplace_back(ops_->Position() - 10, restart ? 1 : 0);
        return {calls.size() == 1 ? SearchChange::Unchanged : SearchChange::Rebuilt, records};
    };
    // The camera found again is asked for its NAT status, at its new address.
    std::string natAskedAt;
    camera_->readGroup = [&](CameraSettings& cam, ParameterGroup group) {
        if (group == ParameterGroup::NatStatus) natAskedAt = FieldText(cam.CamIP);
        return HttpResult::Received(10);
    };
    SaveForRefind();
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Refinding);
    QVERIFY(ops_->RefindTimerActive());
    QCOMPARE(Wait().Maximum(), 1500);
    QCOMPARE(Wait().Text(), QStringLiteral("finding"));
    QVERIFY(Wait().isVisible());
    for (int i = 0; i < 20; ++i) ops_->TickRefind();
    QVERIFY(calls.empty());  // nothing before 200
    ops_->TickRefind();      // P = 200: the first search, restarted
    QCOMPARE(calls.size(), std::size_t{1});
    QCOMPARE(calls[0], std::make_pair(200, 1));
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Refinding);
    for (int i = 0; i < 9; ++i) ops_->TickRefind();
    QCOMPARE(calls.size(), std::size_t{1});
    ops_->TickRefind();  // P = 300: a change, walked
    QCOMPARE(calls.size(), std::size_t{2});
    QCOMPARE(calls[1], std::make_pair(300, 0));
    QCOMPARE(FieldText(s.CamIP), std::string_view("192.168.5.30"));
    QCOMPARE(FieldText(s.CamPort), std::string_view("1"));
    QCOMPARE(s.CamAddr, hostnet::Ip("192.168.5.30"));
    QCOMPARE(camera_->calls.endSearches.load(), 1);  // the search's client is let go
    // The subnet step and the NAT status read run on the worker; then the camera is shown.
    WaitForWorker();
    QCOMPARE(AliasesAdded(), std::size_t{1});
    QCOMPARE(natAskedAt, std::string("192.168.5.30"));
    fx_->prompter.Answer(PromptAnswer::Ok);  // M6
    Tick(1);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
    QCOMPARE(fx_->prompter.Prompts().back().text, QStringLiteral("M6"));
    QCOMPARE(fx_->prompter.Prompts().back().icon, PromptIcon::Information);
    QVERIFY(fx_->Window().isEnabled());
    QVERIFY(!Wait().isVisible());
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageSetupFinished));
    auto* finish = static_cast<SetupFinishedPage*>(fx_->Window().Page(kPageSetupFinished));
    QCOMPARE(finish->WebAddress(), QStringLiteral("http://192.168.5.30:1"));
}

void GuidedOperationsTest::refindGivesUpAt1500() {
    camera_->search = [](bool) { return SearchResult{SearchChange::Rebuilt, {}}; };
    SaveForRefind();
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
    QVERIFY(!Wait().isVisible());
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
    // The empty login is refused, and so is every later request.
    camera_->readGroup = [](CameraSettings&, ParameterGroup) { return HttpResult(HttpStatus::Unauthorized); };
    // The dialog is closed without OK: the retry goes out as "root" with
    // an empty password, and its refusal is the login message.
    fx_->prompter.AnswerDialog([](QDialog& d) -> int {
        if (dynamic_cast<RootLoginDialog*>(&d) == nullptr) return -1;
        d.reject();
        return int(QDialog::Rejected);
    });
    fx_->prompter.Answer(PromptAnswer::Ok);
    fx_->Window().HandleCommand(WizardCommand::ReadCamera);
    // The login runs on the worker: nothing is asked before the window looks.
    QVERIFY(fx_->prompter.Dialogs().isEmpty());
    WaitForWorker();
    Tick(1);
    QCOMPARE(fx_->prompter.Dialogs(), QStringList{QStringLiteral("orvanta::RootLoginDialog")});
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Reading);
    WaitForWorker();
    Tick(1);
    QCOMPARE(FieldText(fx_->Settings().User), std::string_view("root"));
    QCOMPARE(FieldText(fx_->Settings().Password), std::string_view(""));
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, QStringLiteral("M7"));
    QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Critical);
    QCOMPARE(fx_->prompter.Prompts()[0].caption, QString());
    QVERIFY(fx_->Window().isEnabled());
    // The empty login, then the typed one: no second empty login.
    QCOMPARE(camera_->calls.readGroups.load(), 2);
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Idle);
}

void GuidedOperationsTest::scanRunsOnTheWorker_data() {
    QTest::addColumn<bool>("scanned");
    QTest::addColumn<int>("useWps");
    QTest::addColumn<int>("page");
    QTest::newRow("scanned") << true << 0 << int(kPageAccessPointScan);
    QTest::newRow("scanned for wps") << true << 1 << int(kPageWps);
    // No scan result: the message, and the page stays.
    QTest::newRow("no scan") << false << 0 << int(kPageDynamicDns);
}

void GuidedOperationsTest::scanRunsOnTheWorker() {
    QFETCH(bool, scanned);
    QFETCH(int, useWps);
    QFETCH(int, page);
    fx_->Window().HandleCommand(WizardCommand::ShowDdnsPage);
    RunPosted();
    fx_->Settings().UseWPS = static_cast<uint8_t>(useWps);
    // The WPS page starts WPS as it shows.
    camera_->wps = [](CameraSettings&, WpsAction) { return HttpResult::Received(10); };
    if (scanned)
        camera_->scan = [](CameraSettings& s, HttpResult* r) {
            s.APScanOK = 1;
            s.APCount = 3;
            *r = HttpResult::Received(200);
            return std::vector<AccessPointEntry>(3);
        };
    camera_->Hold(false);
    fx_->Window().HandleCommand(WizardCommand::ScanAccessPoints);
    // The window's thread does not wait for the camera.
    QCOMPARE(ops_->CurrentPhase(), CameraOperations::Phase::Scanning);
    QVERIFY(Wait().isVisible());
    camera_->Release();
    WaitForWorker();
    if (!scanned) fx_->prompter.Answer(PromptAnswer::Ok);
    Tick(1);
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{scanned ? 0u : 1u});
    if (!scanned) {
        QCOMPARE(fx_->prompter.Prompts()[0].text, QStringLiteral("M2"));
        QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Warning);
    }
    QCOMPARE(ops_->Kept().accessPoints.size(), std::size_t{scanned ? 3u : 0u});
    QVERIFY(!Wait().isVisible());
    RunPosted();
    QCOMPARE(CurrentPage(), page);
}

// A page's own requests run on the worker as well: the WPS start passes
// without the wait window while it is short and shows it once it takes a
// while, and Cancel ends the attempt at once, silently, though the camera
// never answered; the listing query shows the wait window at once and the
// list page follows its answer, not the click.
void GuidedOperationsTest::pageRequestsRunOnTheWorker() {
    auto* wps = static_cast<WpsPage*>(fx_->Window().Page(kPageWps));
    fx_->Settings().APCount = 2;
    fx_->Settings().WPSAck = 0;
    camera_->wps = [](CameraSettings&, WpsAction) { return HttpResult::Received(10); };
    camera_->Hold(true);
    fx_->Window().HandleCommand(WizardCommand::ShowWpsPage);
    QVERIFY(wps->Running());
    QVERIFY(!Wait().isVisible());
    QVERIFY(fx_->Window().isEnabled());
    QTRY_COMPARE(camera_->calls.wps.load(), 1);
    for (int i = 0; i < 1000 && !Wait().isVisible(); ++i) Tick(1);
    QVERIFY(Wait().isVisible());
    QVERIFY(!fx_->Window().isEnabled());
    Wait().findChild<QPushButton*>(QString::number(WaitDialog::kCancel))->click();
    QVERIFY(!wps->Running());
    QVERIFY(!Wait().isVisible());
    QVERIFY(fx_->Window().isEnabled());
    QVERIFY(wps->BackButton()->isEnabled());
    QVERIFY(!wps->NextButton()->isEnabled());
    QVERIFY(fx_->prompter.Prompts().empty());
    WaitForWorker();  // the request left behind ends on its own
    camera_->Release();

    DeploymentSettings listing;
    listing.listingHost = QStringLiteral("listing.lab");
    listing.listingPort = 8081;
    fx_->Window().Context().deployment = &listing;
    camera_->queryServer = [](const ServerCredentials&, uint32_t& count, const char*, const char*, ListingLogin) {
        count = 2;
        return std::optional<std::vector<ServerCameraEntry>>(std::vector<ServerCameraEntry>(3));
    };
    camera_->Hold(false);
    auto* login = static_cast<ServerLoginPage*>(fx_->Window().Page(kPageServerLogin));
    fx_->Window().HandleCommand(WizardCommand::ShowServerLoginPage);
    login->Control<QLineEdit>(ServerLoginPage::kId)->setText(QStringLiteral("acct"));
    login->Control<QLineEdit>(ServerLoginPage::kPassword)->setText(QStringLiteral("pw"));
    login->NextButton()->click();
    QVERIFY(Wait().isVisible());
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageServerLogin));
    camera_->Release();
    WaitForWorker();
    Tick(1);
    QVERIFY(!Wait().isVisible());
    QCOMPARE(login->Entries().size(), std::size_t{2});  // as many as the server counted
    RunPosted();
    QCOMPARE(CurrentPage(), int(kPageServerCameraList));
    QCOMPARE(camera_->calls.serverQueries.load(), 1);
}

QTEST_MAIN(GuidedOperationsTest)
#include "guided_operations_test.moc"

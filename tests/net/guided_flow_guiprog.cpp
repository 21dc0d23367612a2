// Whole guided flows of the real main window against simulated cameras,
// run offscreen inside the lab's PC namespace by test_guided_flow.sh. The
// window uses the real host network (aliases and ARP through the helper,
// inside the namespace only), a scripted prompter and shortened timers.
// Each flow reads the camera's address and serial from the environment
// (OVF_CAM_IP, OVF_CAM_MAC, OVF_CAM_SERIAL) and leaves the checks of what
// the camera stored to the script.
#include <arpa/inet.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTest>
#include <array>
#include <cstdio>

#include "core/http/TransportSettings.h"
#include "core/base/AddressText.h"
#include "core/i18n/IniFile.h"
#include "core/i18n/LanguagePaths.h"
#include "core/settings/FixedField.h"
#include "gui/app/WizardWindow.h"
#include "gui/app/WaitDialog.h"
#include "gui/app/CameraOperations.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/dialogs/RootLoginDialog.h"
#include "gui/pages/SetupChoicePage.h"
#include "gui/pages/StartPage.h"
#include "gui/pages/SummaryPage.h"
#include "gui/framework/WizardPage.h"
#include "EventLoopGap.h"
#include "support/FakeUrlOpener.h"
#include "support/GuidedLanPath.h"
#include "support/SettingsPresets.h"
#include "support/ScriptedPrompter.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

// The guided path on the offscreen window, as clicks on the controls, with
// the camera the lab script named (OVF_CAM_IP, OVF_CAM_SERIAL, OVF_NEW_IP).
class LabPathDriver : public PathDriver {
public:
    explicit LabPathDriver(WizardWindow& dlg) : dlg_(dlg) {}

    bool WaitForPage(int page) override {
        // Generous: a real read takes its 6.6 s, a save and refind longer.
        if (!QTest::qWaitFor([&] { return dlg_.Pages().CurrentIndex() == page; }, 30000))
            return Fail(QStringLiteral("page %1 not reached, page %2 shows").arg(page).arg(dlg_.Pages().CurrentIndex()));
        if (page == kPageOption && dlg_.Settings().Loaded != 1) return Fail(QStringLiteral("the camera was not read"));
        return true;
    }
    bool Click(int page, int control) override {
        auto* button = dlg_.Page(page)->Control<QAbstractButton>(control);
        if (button == nullptr) return Fail(QStringLiteral("button %1 missing on page %2").arg(control).arg(page));
        button->click();
        return true;
    }
    bool StartOperation(int page, int control, const QString&) override {
        if (!Click(page, control)) return false;
        // The read is aimed at the picked camera before anything is sent.
        if (page == kPageSearch && QString::fromLatin1(dlg_.Settings().CamIP) != qEnvironmentVariable("OVF_CAM_IP"))
            return Fail(QStringLiteral("the read goes to %1").arg(QString::fromLatin1(dlg_.Settings().CamIP)));
        return true;
    }
    // The camera by its serial, in whichever column the list shows it.
    bool PickCamera(int page, int listId) override {
        auto* list = dlg_.Page(page)->Control<QTreeWidget>(listId);
        if (list == nullptr) return Fail(QStringLiteral("camera list missing"));
        const QString serial = qEnvironmentVariable("OVF_CAM_SERIAL");
        QTreeWidgetItem* row = nullptr;
        const auto found = [&] {
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                for (int c = 0; c < list->columnCount(); ++c)
                    if (list->topLevelItem(i)->text(c) == serial) row = list->topLevelItem(i);
            return row != nullptr;
        };
        if (!QTest::qWaitFor(found, 10000)) return Fail(QStringLiteral("camera %1 not found").arg(serial));
        list->setCurrentItem(row);
        row->setSelected(true);
        return true;
    }
    bool TypeAddress(int page, int control, const QString& address) override {
        auto* edit = dlg_.Page(page)->Control<Ipv4AddressEdit>(control);
        if (edit == nullptr) return Fail(QStringLiteral("address %1 missing on page %2").arg(control).arg(page));
        edit->SetFromRecordText(address.toLatin1().constData());
        return true;
    }
    bool ExpectCameraUrl(int page, int control) override {
        auto* edit = dlg_.Page(page)->Control<QLineEdit>(control);
        const QString expected = QStringLiteral("http://%1:80").arg(qEnvironmentVariable("OVF_NEW_IP"));
        if (edit == nullptr || edit->text() != expected)
            return Fail(QStringLiteral("the camera's web address is '%1', not %2")
                            .arg(edit == nullptr ? QString() : edit->text(), expected));
        return true;
    }

    QString failure;

private:
    bool Fail(const QString& why) {
        failure = why;
        return false;
    }
    WizardWindow& dlg_;
};

}  // namespace

class GuidedFlow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lanPath();
    void rootPassword();
    void cameraNeverAnswers();
    void cameraNeverComesBack();
    void hostileRead();

private:
    WizardPage* Page(int index) { return dlg_->Page(index); }
    int Current() { return dlg_->Pages().CurrentIndex(); }
    QString Message(const std::string WizardMessages::*text) { return QString::fromStdString(dlg_->Messages().*text); }
    // What the search page stores when the user picks the camera.
    void SelectCamera(bool newEnvironment);

    QTemporaryDir dir_;
    ScriptedPrompter prompter_;
    FakeUrlOpener urls_;
    std::unique_ptr<WizardWindow> dlg_;
    std::unique_ptr<EventLoopGap> gap_;
};

void GuidedFlow::init() {
    QDir(dir_.path()).mkpath(QStringLiteral("Language"));
    QDir(dir_.path()).mkpath(QStringLiteral("config"));
    const QDir lang(QString::fromLocal8Bit(qgetenv("ORVANTA_SOURCE_DIR")) + QStringLiteral("/lang"));
    for (const QString& name : lang.entryList({QStringLiteral("*.ini")}, QDir::Files))
        QFile::copy(lang.filePath(name), dir_.path() + QStringLiteral("/Language/") + name);
    WriteIniString((dir_.path() + QStringLiteral("/config/defaultlang.ini")).toStdString(), "DefaultLang", "LangFile",
                   "English (ENG).ini");

    WizardWindowOptions options;
    options.prompter = &prompter_;
    options.urlOpener = &urls_;
    options.timers.readTickMs = 300;   // a real read needs its 6.6 s
    options.timers.saveTickMs = 20;
    options.timers.refindTickMs = 100;  // searches every second, give-up at 15 s
    // A camera that keeps its connection open is let go after 8 s, so a
    // given-up read ends well within the test. The hostile read measures
    // the wizard's own limits.
    if (QTest::currentTestFunction() != QByteArrayLiteral("hostileRead")) options.transport.receiveLimitMs = 8000;
    const std::string base = dir_.path().toStdString() + "/";
    options.paths = std::make_unique<LanguagePaths>(base, base + "Language/", base + "config/");
    options.aliasStateFile.clear();
    options.removeStaleAliases = false;
    dlg_ = std::make_unique<WizardWindow>(std::move(options));
    dlg_->Start();
    dlg_->show();
    // Measured from here: start-up is not the flow.
    gap_ = std::make_unique<EventLoopGap>();
}

void GuidedFlow::cleanup() {
    // The script turns this into a note: the longest the window's thread was
    // away from its event loop during the flow.
    if (gap_)
        std::printf("window-thread-away %s longest=%lld ms\n", QTest::currentTestFunction(),
                    static_cast<long long>(gap_->LongestMs()));
    std::fflush(stdout);
    gap_.reset();
    if (!dlg_) return;  // closed by the flow itself
    QVERIFY(!prompter_.HadUnexpected());
    QVERIFY(prompter_.AllAnswersUsed());
    dlg_.reset();  // removes the aliases it added
}

void GuidedFlow::SelectCamera(bool newEnvironment) {
    CameraSettings& s = dlg_->Settings();
    const QByteArray ip = qgetenv("OVF_CAM_IP");
    uint32_t addr = 0;
    QVERIFY(ParseIpv4(ip.toStdString(), addr));
    std::array<uint8_t, 6> mac{};
    QVERIFY(ParseMac(qgetenv("OVF_CAM_MAC").toStdString(), mac));
    SelectedCamera(s, ip.toStdString());
    std::copy(mac.begin(), mac.end(), s.CamMAC);
    SetField(s.CamSerial, qgetenv("OVF_CAM_SERIAL").toStdString());
    s.CamWirelessIf = 0;
    s.NewEnvironment = newEnvironment ? 1 : 0;
    s.StartSetup = 1;
}

void GuidedFlow::lanPath() {
    // Asked on the summary page: write?, saved, found again.
    prompter_.Answer(PromptAnswer::Ok);
    prompter_.Answer(PromptAnswer::Ok);
    prompter_.Answer(PromptAnswer::Ok);
    LabPathDriver driver(*dlg_);
    const QString newIp = QString::fromLatin1(qgetenv("OVF_NEW_IP"));
    const auto steps = GuidedLanPath(
        {newIp, QStringLiteral("255.255.255.0"), QStringLiteral("10.98.0.1"), QStringLiteral("10.98.0.1")});
    const int failed = WalkPath(steps, driver);
    QVERIFY2(failed < 0, qPrintable(QStringLiteral("step %1: %2")
                                        .arg(QString::fromLatin1(failed < 0 ? "" : steps[failed].name), driver.failure)));
    const auto& prompts = prompter_.Prompts();
    QCOMPARE(prompts.size(), std::size_t{3});
    QCOMPARE(prompts[1].text, Message(&WizardMessages::saved));
    QCOMPARE(prompts[2].text, Message(&WizardMessages::foundAgain));
    QCOMPARE(QString::fromLatin1(dlg_->Settings().CamIP), newIp);
    QVERIFY(dlg_->isEnabled());
}

void GuidedFlow::rootPassword() {
    SelectCamera(true);
    dlg_->HandleCommand(WizardCommand::ShowSearchPage);
    // A wrong password: "Message7", and the search page stays usable.
    prompter_.AnswerDialog([](QDialog& d) {
        auto& login = static_cast<RootLoginDialog&>(d);
        login.PasswordEdit()->setText(QStringLiteral("wrong"));
        login.OkButton()->click();
        return int(d.result());
    });
    prompter_.Answer(PromptAnswer::Ok);
    dlg_->HandleCommand(WizardCommand::ReadCamera);
    // The login runs on the worker; the dialog and the refusal follow it.
    QTRY_COMPARE_WITH_TIMEOUT(prompter_.Prompts().size(), std::size_t{1}, 15000);
    QCOMPARE(prompter_.Prompts()[0].text, Message(&WizardMessages::passwordRefused));
    QCOMPARE(prompter_.Prompts()[0].icon, PromptIcon::Critical);
    QCOMPARE(Current(), int(kPageSearch));
    QVERIFY(dlg_->isEnabled());
    QCOMPARE(QString::fromLatin1(dlg_->Settings().User), QStringLiteral("root"));
    // The right one: the read goes on to the option page.
    prompter_.AnswerDialog([](QDialog& d) {
        auto& login = static_cast<RootLoginDialog&>(d);
        login.PasswordEdit()->setText(QString::fromLatin1(qgetenv("OVF_ROOT_PASSWORD")));
        login.OkButton()->click();
        return int(d.result());
    });
    dlg_->HandleCommand(WizardCommand::ReadCamera);
    QTRY_COMPARE_WITH_TIMEOUT(Current(), int(kPageOption), 15000);
    QCOMPARE(dlg_->Settings().Loaded, uint8_t{1});
    QCOMPARE(prompter_.Dialogs().size(), 2);
}

void GuidedFlow::cameraNeverAnswers() {
    SelectCamera(true);
    dlg_->HandleCommand(WizardCommand::ShowSearchPage);
    prompter_.Answer(PromptAnswer::Ok);
    QElapsedTimer clock;
    clock.start();
    dlg_->HandleCommand(WizardCommand::ReadCamera);
    QVERIFY(dlg_->PleaseWait()->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(prompter_.Prompts().size(), std::size_t{1}, 30000);
    QCOMPARE(prompter_.Prompts()[0].text, Message(&WizardMessages::noAnswer));
    QCOMPARE(prompter_.Prompts()[0].caption, QStringLiteral("Orvanta"));
    // Given up after 22 ticks of 300 ms, not when the stalled request ends.
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(Current(), int(kPageSearch));
    QVERIFY(dlg_->isEnabled());
    QCOMPARE(dlg_->Settings().Loaded, uint8_t{0});
}

void GuidedFlow::cameraNeverComesBack() {
    SelectCamera(true);
    dlg_->HandleCommand(WizardCommand::ShowSearchPage);
    dlg_->PostCommand(WizardCommand::ReadCamera);
    QTRY_COMPARE_WITH_TIMEOUT(Current(), int(kPageOption), 15000);
    dlg_->Settings().WizardMode = 1;
    prompter_.Answer(PromptAnswer::Ok);  // saved
    prompter_.Answer(PromptAnswer::Ok);  // not found again
    dlg_->PostCommand(WizardCommand::SaveCamera);
    QTRY_COMPARE_WITH_TIMEOUT(prompter_.Prompts().size(), std::size_t{2}, 30000);
    QCOMPARE(prompter_.Prompts()[0].text, Message(&WizardMessages::saved));
    QCOMPARE(prompter_.Prompts()[1].text, Message(&WizardMessages::notFoundAgain));
    QTRY_COMPARE(Current(), int(kPageStart));
    QVERIFY(dlg_->isEnabled());
}

// The read step against a camera that misbehaves in the way the script chose
// (OVF_EXPECT: "read" when the read must reach the option page, else the
// read must be given up with Message2). Prints how long the window's own
// thread was held, when the answer came and how long closing the window took,
// for the script to judge with bounds generous enough for any machine.
void GuidedFlow::hostileRead() {
    SelectCamera(true);
    dlg_->HandleCommand(WizardCommand::ShowSearchPage);
    const bool expectRead = qgetenv("OVF_EXPECT") == "read";
    if (!expectRead) prompter_.Answer(PromptAnswer::Ok);
    QElapsedTimer clock;
    clock.start();
    dlg_->HandleCommand(WizardCommand::ReadCamera);  // the login read runs on the worker
    const qint64 held = clock.elapsed();
    if (expectRead) {
        QTRY_COMPARE_WITH_TIMEOUT(Current(), int(kPageOption), 120000);
        QCOMPARE(QString::fromLatin1(dlg_->Settings().TitleBar), QString::fromLocal8Bit(qgetenv("OVF_TITLE")));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(prompter_.Prompts().size(), std::size_t{1}, 120000);
        QCOMPARE(prompter_.Prompts()[0].text, Message(&WizardMessages::noAnswer));
        QCOMPARE(dlg_->Settings().Loaded, uint8_t{0});
    }
    const qint64 answered = clock.elapsed();
    QVERIFY(prompter_.AllAnswersUsed());
    QVERIFY(!prompter_.HadUnexpected());
    clock.restart();
    dlg_.reset();  // cancels and joins the worker
    std::printf("hostile-read held=%lld answered=%lld close=%lld\n", static_cast<long long>(held),
                static_cast<long long>(answered), static_cast<long long>(clock.elapsed()));
    std::fflush(stdout);
}

QTEST_MAIN(GuidedFlow)
#include "guided_flow_guiprog.moc"

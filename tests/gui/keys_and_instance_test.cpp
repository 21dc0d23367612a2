// Enter and Escape do nothing in the wizard's windows but reach an open
// combo box list and Qt's file dialogs, and a second wizard
// started while one runs says so and ends at once, before it asks for a
// language or builds a page; the first one keeps running and ends cleanly on
// SIGTERM. A lock another user prepared never makes it say so.
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "gui/app/KeySwallower.h"
#include "gui/app/SingleInstance.h"
#include "gui/dialogs/LanguageDialog.h"
#include "gui/pages/WirelessNetworkPage.h"
#include "gui/framework/WizardPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

class KeysAndInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void enterAndEscapeDoNothing();
    void secondInstanceEndsAtOnce();
    void helpAndVersionNeedNoWindowSystem();
    void terminatedWhileAskingForTheLanguage();
    void lockAnotherUserPreparedIsRefused();

private:
    static QProcess* StartWizard(const QString& runtimeDir, const QString& configDir, const QStringList& args = {});
    static bool LockHeld(const QString& path);
    static bool WaitsForEvents(qint64 pid);
};

void KeysAndInstanceTest::enterAndEscapeDoNothing() {
    KeySwallower keys;
    qApp->installEventFilter(&keys);

    // A dialog would close on Escape and accept on Enter.
    LanguageDialog chooser({"English (ENG)"}, 0, {});
    QSignalSpy finished(&chooser, &QDialog::finished);
    chooser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chooser));
    QTest::keyClick(chooser.Combo(), Qt::Key_Escape);
    QTest::keyClick(chooser.Combo(), Qt::Key_Return);
    QTest::keyClick(&chooser, Qt::Key_Enter);
    // ... also as the window system delivers them: to the window first.
    chooser.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&chooser));
    QTest::keyClick(chooser.windowHandle(), Qt::Key_Escape);
    QTest::keyClick(chooser.windowHandle(), Qt::Key_Return);
    QCOMPARE(finished.count(), 0);
    QVERIFY(chooser.isVisible());

    // On a page: an edit never sees the key, so nothing bound to it fires.
    WizardFixture fx;
    WizardWindow& dlg = fx.StartWithLanguage(QStringLiteral("[Common]\nBtnNext=Next\n"));
    dlg.show();
    dlg.HandleCommand(WizardCommand::ShowWirelessNetworkPage);
    auto* ssid = dlg.Page(kPageWirelessNetwork)->Control<QLineEdit>(WirelessNetworkPage::kSsid);
    QSignalSpy returned(ssid, &QLineEdit::returnPressed);
    ssid->setFocus();
    QTest::keyClick(ssid, Qt::Key_Return);
    QTest::keyClick(ssid, Qt::Key_Escape);
    QTest::keyClicks(ssid, QStringLiteral("ab"));
    QCOMPARE(returned.count(), 0);
    QCOMPARE(ssid->text(), QStringLiteral("ab"));  // other keys still work
    QCOMPARE(dlg.Pages().CurrentIndex(), int(kPageWirelessNetwork));
    QVERIFY(dlg.isVisible());

    // An open list takes both: Return chooses the highlighted entry and
    // closes the list, Escape closes it without choosing.
    auto* security = dlg.Page(kPageWirelessNetwork)->Control<QComboBox>(WirelessNetworkPage::kSecurity);
    security->setCurrentIndex(0);
    security->showPopup();
    QTRY_VERIFY(security->view()->isVisible());
    QWidget* list = security->view();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!security->view()->isVisible());
    QCOMPARE(security->currentIndex(), 1);
    security->showPopup();
    QTRY_VERIFY(security->view()->isVisible());
    QTest::keyClick(security->view(), Qt::Key_Down);
    QTest::keyClick(security->view(), Qt::Key_Escape);
    QTRY_VERIFY(!security->view()->isVisible());
    QCOMPARE(security->currentIndex(), 1);
    QCOMPARE(dlg.Pages().CurrentIndex(), int(kPageWirelessNetwork));

    // Qt's file dialogs that pages open (the export's, the plan's) keep both:
    // Escape cancels, Enter takes the name typed.
    QTemporaryDir dir;
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        QFileDialog files(&dlg, QStringLiteral("Export list"));
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setAcceptMode(QFileDialog::AcceptSave);
        files.setDirectory(dir.path());
        files.selectFile(QStringLiteral("cameras.csv"));
        QSignalSpy done(&files, &QDialog::finished);
        files.show();
        files.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&files));
        QTest::keyClick(files.windowHandle(), key);
        QTRY_COMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toInt(), int(key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted));
    }
    QVERIFY(dlg.isVisible());
    qApp->removeEventFilter(&keys);
}

QProcess* KeysAndInstanceTest::StartWizard(const QString& runtimeDir, const QString& configDir,
                                           const QStringList& args) {
    auto* p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("ORVANTA_CONFIG_DIR"), configDir);
    env.insert(QStringLiteral("ORVANTA_PROBE_HOST"), QString());
    env.insert(QStringLiteral("ORVANTA_LISTING_HOST"), QString());
    p->setProcessEnvironment(env);
    const QString wizard = QStringLiteral(ORVANTA_BIN_DIR "/orvanta");
    // As root, the wizard runs in a network namespace of its own with only
    // a loopback device, so it never looks at this machine's network.
    if (::geteuid() == 0)
        p->start(QStringLiteral("unshare"), QStringList{QStringLiteral("--net"), wizard} + args);
    else
        p->start(wizard, args);
    return p;
}

// Whether the process's main thread sleeps in its event loop's poll, that
// is, sits in a dialog or window waiting for the user.
bool KeysAndInstanceTest::WaitsForEvents(qint64 pid) {
    QFile wchan(QStringLiteral("/proc/%1/wchan").arg(pid));
    return wchan.open(QIODevice::ReadOnly) && wchan.readAll().contains("poll");
}

bool KeysAndInstanceTest::LockHeld(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return held;
}

void KeysAndInstanceTest::secondInstanceEndsAtOnce() {
    if (!QFile::exists(QStringLiteral(ORVANTA_BIN_DIR "/orvanta"))) QSKIP("orvanta is not built");
    QTemporaryDir runtime;
    QTemporaryDir firstConfig;
    QTemporaryDir secondConfig;
    QFile ini(firstConfig.path() + QStringLiteral("/defaultlang.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[DefaultLang]\nLangFile=English (ENG).ini\n");
    ini.close();

    std::unique_ptr<QProcess> first(StartWizard(runtime.path(), firstConfig.path()));
    QVERIFY(first->waitForStarted(5000));
    const QString lock = runtime.path() + QStringLiteral("/orvanta.lock");
    QTRY_VERIFY_WITH_TIMEOUT(LockHeld(lock), 20000);

    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QProcess> second(StartWizard(runtime.path(), secondConfig.path()));
    QVERIFY(second->waitForFinished(15000));
    const qint64 ms = clock.elapsed();
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY(second->readAllStandardError().contains("Orvanta is already running"));
    // It never reached the language step: nothing was asked or written.
    QVERIFY(!QFile::exists(secondConfig.path() + QStringLiteral("/defaultlang.ini")));
    qInfo("second instance ended after %lld ms", static_cast<long long>(ms));

    // The first is untouched and still holds the lock; SIGTERM ends it
    // through its normal shutdown.
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(LockHeld(lock));
    first->terminate();
    QVERIFY(first->waitForFinished(15000));
    QCOMPARE(first->exitStatus(), QProcess::NormalExit);
    QCOMPARE(first->exitCode(), 0);
    QVERIFY(!LockHeld(lock));
}

void KeysAndInstanceTest::helpAndVersionNeedNoWindowSystem() {
    if (!QFile::exists(QStringLiteral(ORVANTA_BIN_DIR "/orvanta"))) QSKIP("orvanta is not built");
    // No display and a platform that does not exist: creating the
    // application object would abort, so these must answer before it.
    QProcessEnvironment env;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    const struct {
        QStringList args;
        int exitCode;
        QByteArray expected;  // on stdout, or on stderr for a usage error
    } cases[] = {
        {{QStringLiteral("--help")}, 0, "Usage: orvanta"},
        {{QStringLiteral("--version")}, 0, "orvanta "},
        // An unknown option is a usage error, not a start.
        {{QStringLiteral("--frobnicate")}, 2, "unknown option"},
    };
    for (const auto& c : cases) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ORVANTA_BIN_DIR "/orvanta"), c.args);
        QVERIFY(p.waitForFinished(15000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), c.exitCode);
        const QByteArray out = p.readAllStandardOutput() + p.readAllStandardError();
        QVERIFY2(out.contains(c.expected), out.constData());
    }
}

void KeysAndInstanceTest::terminatedWhileAskingForTheLanguage() {
    if (!QFile::exists(QStringLiteral(ORVANTA_BIN_DIR "/orvanta"))) QSKIP("orvanta is not built");
    QTemporaryDir runtime;
    QTemporaryDir config;  // no defaultlang.ini: start-up asks for a language
    std::unique_ptr<QProcess> wizard(StartWizard(runtime.path(), config.path()));
    QVERIFY(wizard->waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(LockHeld(runtime.path() + QStringLiteral("/orvanta.lock")), 20000);
    // The chooser is up once defaultlang.ini exists (made empty before asking).
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(config.path() + QStringLiteral("/defaultlang.ini")), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(WaitsForEvents(wizard->processId()), 20000);
    QCOMPARE(wizard->state(), QProcess::Running);
    wizard->terminate();
    QVERIFY2(wizard->waitForFinished(15000), "the wizard kept waiting for a language after SIGTERM");
    QCOMPARE(wizard->exitStatus(), QProcess::NormalExit);
    QCOMPARE(wizard->exitCode(), 0);
}

void KeysAndInstanceTest::lockAnotherUserPreparedIsRefused() {
    if (::getuid() != 0) QSKIP("needs root to play the other user");
    // Without XDG_RUNTIME_DIR the lock's folder lies in /tmp, where anyone
    // may have made it (or the lock file) first and kept it locked.
    QTemporaryDir root;
    const QByteArray theirs = QFile::encodeName(root.path() + QStringLiteral("/theirs"));
    QCOMPARE(::mkdir(theirs.constData(), 0700), 0);
    QCOMPARE(::chown(theirs.constData(), 65534, 65534), 0);
    SingleInstance inFolder;
    QCOMPARE(inFolder.Acquire(theirs.toStdString() + "/orvanta.lock"), SingleInstance::Result::Failed);
    QVERIFY(!inFolder.Why().empty());

    const QByteArray mine = QFile::encodeName(root.path() + QStringLiteral("/mine"));
    const std::string planted = mine.toStdString() + "/orvanta.lock";
    QCOMPARE(::mkdir(mine.constData(), 0700), 0);
    const int fd = ::open(planted.c_str(), O_RDWR | O_CREAT, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::fchown(fd, 65534, 65534), 0);
    QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);  // held, as its owner would
    SingleInstance onFile;
    QCOMPARE(onFile.Acquire(planted), SingleInstance::Result::Failed);
    ::close(fd);
}

QTEST_MAIN(KeysAndInstanceTest)
#include "keys_and_instance_test.moc"

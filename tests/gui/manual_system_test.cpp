// The manual path's first pages: the system page (name refusals, the four
// time modes, the lists' start selections, what a refresh takes from the
// record, where Back leads), the ISP link type page and the PPPoE page, and
// the typing limits that keep every typed value whole in its record field.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>
#include <ctime>

#include "gui/pages/IspLinkPage.h"
#include "gui/pages/PppoePage.h"
#include "gui/pages/SystemPage.h"
#include "gui/framework/EditLimit.h"
#include "support/ControlInput.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

const QString kLanguage = QStringLiteral(
    "[Common]\nBtnBack=Back\nBtnNext=Next\n"
    "[LANISPPage]\nMessage1=The passwords differ\n");

}  // namespace

class ManualSystemTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->StartWithLanguage(kLanguage);
        fx_->RecordPostedCommands();
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        fx_.reset();
    }

    void longNamesFromTheCameraAreRefused_data();
    void longNamesFromTheCameraAreRefused();
    void timeModes_data();
    void timeModes();
    void refreshTakesTheTimeModeButNotTheInterval();
    void typedTextFitsItsField_data();
    void typedTextFitsItsField();
    void lowerLimitKeepsTextAndDeletingStaysPossible();

    void ispRefusals();
    void ispLanGreysButKeepsTheAccount();
    void pppoePageStoresPasswordTwice();

private:
    SystemPage* ShowSystem() { return fx_->Show<SystemPage>(WizardCommand::ShowSystemPage, kPageSystem); }
    std::unique_ptr<WizardFixture> fx_;
};

void ManualSystemTest::longNamesFromTheCameraAreRefused_data() {
    QTest::addColumn<int>("nameLength");
    QTest::addColumn<int>("descLength");
    QTest::addColumn<QString>("message");
    // A name the camera holds but cannot take back must not pass unseen.
    QTest::newRow("40-char host name") << 40 << 5 << "Please Enter Host name less than 32 charactes !";
    QTest::newRow("33-char description") << 8 << 33 << "Please Enter Description less than 32 charactes !";
    // The host name is checked first.
    QTest::newRow("both too long") << 33 << 40 << "Please Enter Host name less than 32 charactes !";
    // Exactly 32 is allowed.
    QTest::newRow("32 and 32") << 32 << 32 << "";
}

void ManualSystemTest::longNamesFromTheCameraAreRefused() {
    QFETCH(int, nameLength);
    QFETCH(int, descLength);
    QFETCH(QString, message);
    CameraSettings& s = fx_->Settings();
    SetField(s.TitleBar, std::string(static_cast<std::size_t>(nameLength), 'n'));
    SetField(s.Desp, std::string(static_cast<std::size_t>(descLength), 'd'));
    s.NTPEN = 0;
    SystemPage* page = ShowSystem();
    // Loaded whole, not cut by the typing limit.
    QCOMPARE(On<QLineEdit>(page, SystemPage::kHostName)->text().size(), nameLength);
    if (!message.isEmpty()) fx_->prompter.Answer(PromptAnswer::Ok);
    SetField(s.TitleBar, "changed only by Next");
    page->NextButton()->click();
    if (message.isEmpty()) {
        QCOMPARE(fx_->LastPosted(), WizardCommand::ShowIspLinkPage);
        QCOMPARE(QString::fromUtf8(s.TitleBar), QString(nameLength, QLatin1Char('n')));
        return;
    }
    QCOMPARE(fx_->LastPrompt().text, message);
    QCOMPARE(fx_->LastPrompt().caption, QStringLiteral("Orvanta"));
    QCOMPARE(fx_->LastPrompt().icon, PromptIcon::Warning);
    QVERIFY(fx_->posted.empty());
    QCOMPARE(QString::fromUtf8(s.TitleBar), QStringLiteral("changed only by Next"));
    // Shortened by the user, the page lets it through.
    fx_->prompter.Clear();
    auto* name = On<QLineEdit>(page, SystemPage::kHostName);
    auto* desc = On<QLineEdit>(page, SystemPage::kDescription);
    name->end(false);
    while (name->text().size() > 32) QTest::keyClick(name, Qt::Key_Backspace);
    desc->end(false);
    while (desc->text().size() > 32) QTest::keyClick(desc, Qt::Key_Backspace);
    page->NextButton()->click();
    QCOMPARE(fx_->LastPosted(), WizardCommand::ShowIspLinkPage);
}

void ManualSystemTest::timeModes_data() {
    QTest::addColumn<int>("radio");
    QTest::addColumn<int>("ntpen");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("zone");
    QTest::addColumn<int>("poll");
    // Keep: the camera's date and time stay as read.
    QTest::newRow("keep") << int(SystemPage::kKeepRadio) << 0 << "2020/01/02" << "03:04:05" << 5 << 6;
    // Sync: the PC's local clock, zero-padded, 24-hour.
    QTest::newRow("sync") << int(SystemPage::kSyncRadio) << 0 << "2009/03/07" << "18:05:09" << 5 << 6;
    // Manual: whatever was typed, in any form, unchanged.
    QTest::newRow("manual, day first with dots")
        << int(SystemPage::kManualRadio) << 0 << "07.03.2009" << "8h5" << 5 << 6;
    // Automatic with the lists as they start: zone 20, every 12 hours.
    QTest::newRow("automatic") << int(SystemPage::kAutomaticRadio) << 1 << "2020/01/02" << "03:04:05" << 20 << 12;
}

void ManualSystemTest::timeModes() {
    QFETCH(int, radio);
    QFETCH(int, ntpen);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(int, zone);
    QFETCH(int, poll);
    qputenv("TZ", "UTC");
    tzset();
    CameraSettings& s = fx_->Settings();
    SetField(s.Date, "2020/01/02");
    SetField(s.Time, "03:04:05");
    s.NTPEN = 0;
    s.Timezone = 5;
    s.NTPPoll = 6;
    SystemPage* page = ShowSystem();
    // 2009-03-07 18:05:09 UTC
    page->SetClock([] { return std::time_t{1236449109}; });
    On<QRadioButton>(page, radio)->click();
    if (radio == SystemPage::kManualRadio) {
        Type(On<QLineEdit>(page, SystemPage::kDate), date);
        Type(On<QLineEdit>(page, SystemPage::kTime), time);
    }
    if (radio == SystemPage::kAutomaticRadio)
        Type(On<QLineEdit>(page, SystemPage::kNtpServer), QStringLiteral("pool.ntp.example"));
    page->NextButton()->click();
    QCOMPARE(fx_->LastPosted(), WizardCommand::ShowIspLinkPage);
    QCOMPARE(int(s.NTPEN), ntpen);
    QCOMPARE(QString::fromUtf8(s.Date), date);
    QCOMPARE(QString::fromUtf8(s.Time), time);
    QCOMPARE(s.Timezone, zone);
    QCOMPARE(s.NTPPoll, poll);
    if (radio == SystemPage::kAutomaticRadio)
        QCOMPARE(QString::fromUtf8(s.NTPName), QStringLiteral("pool.ntp.example"));
}

void ManualSystemTest::refreshTakesTheTimeModeButNotTheInterval() {
    CameraSettings& s = fx_->Settings();
    s.NTPEN = 1;
    s.Timezone = 3;
    s.NTPPoll = 5;
    SetField(s.NTPName, "time.example");
    SystemPage* page = ShowSystem();
    QVERIFY(On<QRadioButton>(page, SystemPage::kAutomaticRadio)->isChecked());
    QCOMPARE(On<QComboBox>(page, SystemPage::kTimeZone)->currentIndex(), 3);
    QCOMPARE(On<QLineEdit>(page, SystemPage::kNtpServer)->text(), QStringLiteral("time.example"));
    // The camera's poll interval is not shown: the list keeps 12.
    QCOMPARE(On<QComboBox>(page, SystemPage::kInterval)->currentIndex(), 12);
    // A camera last set by hand or from a PC reads as NTPEN 0: "keep".
    s.NTPEN = 0;
    page = ShowSystem();
    QVERIFY(On<QRadioButton>(page, SystemPage::kKeepRadio)->isChecked());
    for (int id : {SystemPage::kSyncRadio, SystemPage::kManualRadio, SystemPage::kAutomaticRadio})
        QVERIFY(!On<QRadioButton>(page, id)->isChecked());
    // An unknown NTPEN leaves the radios as they were.
    On<QRadioButton>(page, SystemPage::kManualRadio)->click();
    s.NTPEN = 7;
    page = ShowSystem();
    QVERIFY(On<QRadioButton>(page, SystemPage::kManualRadio)->isChecked());
    // No radio at all: Next leaves the time settings alone.
    for (int id : {SystemPage::kKeepRadio, SystemPage::kSyncRadio, SystemPage::kManualRadio, SystemPage::kAutomaticRadio})
        WizardPage::SetChecked(On<QRadioButton>(page, id), false);
    s.Timezone = 99;
    page->NextButton()->click();
    QCOMPARE(s.NTPEN, uint8_t{7});
    QCOMPARE(s.Timezone, 99);
    // Back: the option page in a new environment, else the search page.
    s.NewEnvironment = 1;
    page->BackButton()->click();
    s.NewEnvironment = 0;
    page->BackButton()->click();
    QCOMPARE(std::vector<WizardCommand>(fx_->posted.end() - 2, fx_->posted.end()),
             (std::vector<WizardCommand>{WizardCommand::ShowOptionPage, WizardCommand::ShowSearchPage}));
}

void ManualSystemTest::typedTextFitsItsField_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    const QString cjk = QString(40, QChar(0x76F8));  // three UTF-8 bytes each
    // Host name: 32 characters, and no more bytes than its 64-byte field.
    QTest::newRow("host name, 33rd char")
        << int(kPageSystem) << int(SystemPage::kHostName) << QString(33, 'h') << QString(32, 'h');
    QTest::newRow("host name, wide chars") << int(kPageSystem) << int(SystemPage::kHostName) << cjk << cjk.left(21);
    // Date and time fields hold 15 characters; the edits had no limit.
    QTest::newRow("date") << int(kPageSystem) << int(SystemPage::kDate) << QString(20, '1') << QString(15, '1');
    QTest::newRow("time") << int(kPageSystem) << int(SystemPage::kTime) << QString(20, '2') << QString(15, '2');
    // The server field holds 255 characters; the edit allowed 256.
    QTest::newRow("ntp server")
        << int(kPageSystem) << int(SystemPage::kNtpServer) << QString(256, 's') << QString(255, 's');
    // The ISP page's three edits: 32 characters each.
    QTest::newRow("isp user") << int(kPageIspLink) << int(IspLinkPage::kUser) << QString(40, 'u') << QString(32, 'u');
    // The PPPoE page's edits had no limit at all; their fields hold 63.
    QTest::newRow("pppoe user") << int(kPagePppoe) << int(PppoePage::kUser) << QString(80, 'u') << QString(63, 'u');
    QTest::newRow("pppoe password") << int(kPagePppoe) << int(PppoePage::kPassword) << QString(80, 'p')
                                    << QString(63, 'p');
    QTest::newRow("pppoe password, wide") << int(kPagePppoe) << int(PppoePage::kPassword) << cjk << cjk.left(21);
}

void ManualSystemTest::typedTextFitsItsField() {
    QFETCH(int, page);
    QFETCH(int, edit);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    auto* e = On<QLineEdit>(fx_->Window().Page(page), edit);
    Type(e, typed);
    QCOMPARE(e->text(), kept);
    // Pasting more at once is refused as a whole.
    e->clear();
    e->insert(typed);
    QVERIFY(EditLimit::Of(e)->Fits(e->text()));
}

void ManualSystemTest::lowerLimitKeepsTextAndDeletingStaysPossible() {
    QLineEdit e;
    EditLimit::Apply(&e, 10, 256);
    Type(&e, QStringLiteral("0123456789abc"));
    QCOMPARE(e.text(), QStringLiteral("0123456789"));
    // Lowering the limit does not cut, and the text can still be shortened.
    EditLimit::Apply(&e, 4, 256);
    QCOMPARE(e.text(), QStringLiteral("0123456789"));
    QTest::keyClick(&e, Qt::Key_Backspace);
    QCOMPARE(e.text(), QStringLiteral("012345678"));
    QTest::keyClicks(&e, QStringLiteral("x"));
    QCOMPARE(e.text(), QStringLiteral("012345678"));
    // Swapping one character for a wider one does not slip past the bytes.
    QLineEdit w;
    EditLimit::Apply(&w, 10, 4);
    Type(&w, QStringLiteral("abc"));
    w.setSelection(2, 1);
    TypeAtCursor(&w, QString(QChar(0x76F8)));
    QCOMPARE(w.text(), QStringLiteral("abc"));
}

void ManualSystemTest::ispRefusals() {
    // Never refreshed: the template has neither radio selected.
    auto* page = static_cast<IspLinkPage*>(fx_->Window().Page(kPageIspLink));
    CameraSettings& s = fx_->Settings();
    s.IPType = 9;
    fx_->prompter.Answer(PromptAnswer::Ok);
    page->NextButton()->click();
    QCOMPARE(fx_->LastPrompt().text, QStringLiteral("Please Choose one link type"));
    QCOMPARE(fx_->LastPrompt().icon, PromptIcon::None);
    QCOMPARE(fx_->LastPrompt().caption, QStringLiteral("Orvanta"));
    // Passwords that differ only in case are different passwords.
    On<QRadioButton>(page, IspLinkPage::kPppoeRadio)->click();
    Type(On<QLineEdit>(page, IspLinkPage::kUser), QStringLiteral("dsl-user"));
    Type(On<QLineEdit>(page, IspLinkPage::kPassword), QStringLiteral("Secret"));
    Type(On<QLineEdit>(page, IspLinkPage::kConfirm), QStringLiteral("secret"));
    fx_->prompter.Answer(PromptAnswer::Ok);
    page->NextButton()->click();
    QCOMPARE(fx_->LastPrompt().text, QStringLiteral("The passwords differ"));
    QCOMPARE(fx_->LastPrompt().icon, PromptIcon::Critical);
    QVERIFY(fx_->posted.empty());
    QCOMPARE(s.IPType, uint8_t{9});
    QCOMPARE(QString::fromUtf8(s.PAccount), QString());
}

void ManualSystemTest::ispLanGreysButKeepsTheAccount() {
    CameraSettings& s = fx_->Settings();
    s.IPType = 2;
    SetField(s.PAccount, "kept");
    SetField(s.PPwd, "pw");
    SetField(s.PVP, "pw");
    IspLinkPage* page = fx_->Show<IspLinkPage>(WizardCommand::ShowIspLinkPage, kPageIspLink);
    // A PPPoE record comes back into the edits, ready to change.
    QVERIFY(On<QRadioButton>(page, IspLinkPage::kPppoeRadio)->isChecked());
    QVERIFY(On<QLineEdit>(page, IspLinkPage::kUser)->isEnabled());
    QCOMPARE(On<QLineEdit>(page, IspLinkPage::kConfirm)->text(), QStringLiteral("pw"));
    On<QLineEdit>(page, IspLinkPage::kPassword)->setText(QStringLiteral("typed, not stored"));
    On<QRadioButton>(page, IspLinkPage::kLanRadio)->click();
    for (int id : {IspLinkPage::kUser, IspLinkPage::kPassword, IspLinkPage::kConfirm})
        QVERIFY(!On<QLineEdit>(page, id)->isEnabled());
    QCOMPARE(On<QLineEdit>(page, IspLinkPage::kUser)->text(), QStringLiteral("kept"));
    page->NextButton()->click();
    QCOMPARE(fx_->LastPosted(), WizardCommand::ShowLanAddressPage);
    // LAN leaves the address mode to the LAN IP page and the account alone.
    QCOMPARE(s.IPType, uint8_t{2});
    QCOMPARE(QString::fromUtf8(s.PPwd), QStringLiteral("pw"));
    // Back to PPPoE: the texts are still there.
    On<QRadioButton>(page, IspLinkPage::kPppoeRadio)->click();
    QVERIFY(On<QLineEdit>(page, IspLinkPage::kUser)->isEnabled());
    QCOMPARE(On<QLineEdit>(page, IspLinkPage::kPassword)->text(), QStringLiteral("typed, not stored"));
    // A LAN record greys the edits on refresh, texts untouched.
    s.IPType = 1;
    page = fx_->Show<IspLinkPage>(WizardCommand::ShowIspLinkPage, kPageIspLink);
    QVERIFY(On<QRadioButton>(page, IspLinkPage::kLanRadio)->isChecked());
    QVERIFY(!On<QLineEdit>(page, IspLinkPage::kUser)->isEnabled());
    QCOMPARE(On<QLineEdit>(page, IspLinkPage::kUser)->text(), QStringLiteral("kept"));
}

void ManualSystemTest::pppoePageStoresPasswordTwice() {
    CameraSettings& s = fx_->Settings();
    SetField(s.DialUser, "pc-dialer");
    SetField(s.PVP, "stale");
    PppoePage* page = fx_->Show<PppoePage>(WizardCommand::ShowPppoePage, kPagePppoe);
    QCOMPARE(On<QLineEdit>(page, PppoePage::kUser)->text(), QStringLiteral("pc-dialer"));
    QCOMPARE(On<QLineEdit>(page, PppoePage::kPassword)->text(), QString());
    Type(On<QLineEdit>(page, PppoePage::kPassword), QStringLiteral("dial pw"));
    page->NextButton()->click();
    QCOMPARE(fx_->LastPosted(), WizardCommand::ShowUpnpPortsPage);
    QCOMPARE(s.IPType, uint8_t{2});
    QCOMPARE(QString::fromUtf8(s.PAccount), QStringLiteral("pc-dialer"));
    QCOMPARE(QString::fromUtf8(s.PPwd), QStringLiteral("dial pw"));
    QCOMPARE(QString::fromUtf8(s.PVP), QStringLiteral("dial pw"));
    // A PC without a dial-up connection: an empty name; the password typed
    // before is gone on the next showing.
    SetField(s.DialUser, "");
    page = fx_->Show<PppoePage>(WizardCommand::ShowPppoePage, kPagePppoe);
    QCOMPARE(On<QLineEdit>(page, PppoePage::kUser)->text(), QString());
    QCOMPARE(On<QLineEdit>(page, PppoePage::kPassword)->text(), QString());
    page->BackButton()->click();
    QCOMPARE(fx_->LastPosted(), WizardCommand::ShowOptionPage);
}

QTEST_MAIN(ManualSystemTest)
#include "manual_system_test.moc"

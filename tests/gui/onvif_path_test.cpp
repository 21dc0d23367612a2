// The path of another maker's camera through the real window, against a
// scripted ONVIF service: the login page tells a refused password, a
// missing ONVIF user and a switched-off service apart and stays; a good
// login leads to the address page with the proposal; the clock page says a
// far-off clock; the summary lists only what changes; the change runs on
// the worker and the finish page shows where the camera is now and its
// stream addresses; a failed change is said and the summary stays.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>

#include "core/base/AddressText.h"
#include "gui/app/OnvifOperations.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/pages/OnvifAddressPage.h"
#include "gui/pages/OnvifClockPage.h"
#include "gui/pages/OnvifFinishedPage.h"
#include "gui/pages/OnvifLoginPage.h"
#include "gui/pages/OnvifSummaryPage.h"
#include "support/SettingsPresets.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;
using onvif::OnvifStatus;

Q_DECLARE_METATYPE(onvif::OnvifStatus)

namespace {

// A camera heard on eth1 in another subnet than the PC's.
onvif::DiscoveredOnvifDevice HeardCamera() {
    onvif::DiscoveredOnvifDevice d;
    d.endpoint = "urn:uuid:6d1f0c2e-0000-4000-8000-000000000001";
    d.xaddrs = {"http://10.9.0.20/onvif/device_service"};
    d.name = "Lobby";
    d.hardware = "DomeCam 4";
    d.interfaceName = "eth1";
    d.interfaces = {"eth1"};
    d.replyFrom = 0x0A090014;  // 10.9.0.20
    return d;
}

onvif::OnvifDeviceState CameraState() {
    onvif::OnvifDeviceState s;
    s.endpoint = HeardCamera().endpoint;
    s.hostname = "dome-old";
    s.mac = "aa:bb:cc:00:00:01";
    s.ipv4 = {false, "10.9.0.20", 24};
    s.gateway = "10.9.0.1";
    s.dns = {"10.9.0.1"};
    s.time.offsetSeconds = -183 * 86400 - 600;  // half a year behind
    s.time.utc = "2026-06-08T10:00:00Z";
    s.streamUris = {"rtsp://192.168.1.50/stream1", "rtsp://192.168.1.50/stream2"};
    return s;
}

template <class T>
T* On(WizardWindow& w, int page, int id) {
    return w.Page(page)->Control<T>(id);
}

}  // namespace

class OnvifPathTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void loginSaysWhyItFailedAndStays_data();
    void loginSaysWhyItFailedAndStays();
    void wholePathChangesTheCameraAndShowsItsStreams();
    void failedChangeIsSaidAndTheSummaryStays();
    void nothingToChangeSendsNothing();
    void linkLocalDhcpCameraIsOfferedAFixedAddress();
    void referenceFromTwoDevicesSendsNothing();

private:
    WizardWindow& W() { return fx_->Window(); }
    // Next on the login page with this password; the worker's end is awaited.
    void LogIn(const QString& password);
    void Apply();

    std::unique_ptr<WizardFixture> fx_;
};

void OnvifPathTest::init() {
    fx_ = std::make_unique<WizardFixture>();
    fx_->StartInShippedEnglish(QStringLiteral(ORVANTA_SOURCE_DIR));
    PcOnFixedWire(W().Settings());
    fx_->net.arpOwners[hostnet::Ip("192.168.1.10")] = {2, 0, 0, 0, 0, 1};  // the PC itself
    W().Onvif().SetTimersRunning(false);
    W().OnvifPath().Choose(HeardCamera());
    W().HandleCommand(WizardCommand::ShowOnvifLoginPage);
}

void OnvifPathTest::cleanup() {
    QVERIFY(!fx_->prompter.HadUnexpected());
    fx_.reset();
}

void OnvifPathTest::LogIn(const QString& password) {
    On<QLineEdit>(W(), kPageOnvifLogin, OnvifLoginPage::kPassword)->setText(password);
    On<QAbstractButton>(W(), kPageOnvifLogin, OnvifLoginPage::kNext)->click();
    QCoreApplication::processEvents();  // the posted login
    QVERIFY(!W().isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT((W().Onvif().Tick(), !W().Onvif().Busy()), 5000);
}

void OnvifPathTest::Apply() {
    On<QAbstractButton>(W(), kPageOnvifSummary, OnvifSummaryPage::kSave)->click();
    QCoreApplication::processEvents();
    QTRY_VERIFY_WITH_TIMEOUT((W().Onvif().Tick(), !W().Onvif().Busy()), 5000);
}

void OnvifPathTest::loginSaysWhyItFailedAndStays_data() {
    QTest::addColumn<OnvifStatus>("status");
    QTest::addColumn<QString>("said");
    QTest::newRow("password refused") << OnvifStatus::NotAuthorized << "refused this user name or password";
    QTest::newRow("no ONVIF user") << OnvifStatus::NoOnvifUser << "no ONVIF user of this name";
    QTest::newRow("ONVIF off") << OnvifStatus::OnvifDisabled << "ONVIF service is switched off";
    QTest::newRow("silent") << OnvifStatus::Unreachable << "did not answer";
}

void OnvifPathTest::loginSaysWhyItFailedAndStays() {
    QFETCH(OnvifStatus, status);
    QFETCH(QString, said);
    fx_->onvif.read = [status](const onvif::OnvifCredentials&, onvif::OnvifDeviceState&) {
        // The camera's own words must reach the page as text, not markup.
        return onvif::OnvifResult{status, "<b>camera says no</b>"};
    };
    LogIn(QStringLiteral("wrong"));
    QVERIFY(W().isEnabled());
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifLogin));
    auto* status_ = On<QLabel>(W(), kPageOnvifLogin, OnvifLoginPage::kStatus);
    QVERIFY2(status_->text().contains(said), qPrintable(status_->text()));
    QVERIFY(status_->text().contains(QStringLiteral("<b>camera says no</b>")));
    QCOMPARE(status_->textFormat(), Qt::PlainText);
    // What was typed is what was sent, and stays for the next try.
    const auto calls = fx_->onvif.Calls();
    QCOMPARE(calls.size(), std::size_t{1});
    QCOMPARE(calls[0].target, std::string("http://10.9.0.20/onvif/device_service"));
    QCOMPARE(calls[0].credentials.user, std::string("admin"));
    QCOMPARE(calls[0].credentials.password, std::string("wrong"));
    QCOMPARE(On<QLineEdit>(W(), kPageOnvifLogin, OnvifLoginPage::kPassword)->text(), QStringLiteral("wrong"));
}

void OnvifPathTest::wholePathChangesTheCameraAndShowsItsStreams() {
    // The walk proposes .252: the PC answers for itself, .253 for another device.
    fx_->net.arpOwners[hostnet::Ip("192.168.1.253")] = {2, 0, 0, 0, 0, 9};
    fx_->onvif.read = [](const onvif::OnvifCredentials& c, onvif::OnvifDeviceState& s) {
        if (c.password != "secret") return onvif::OnvifResult{OnvifStatus::NotAuthorized, {}};
        s = CameraState();
        return onvif::OnvifResult{};
    };
    onvif::OnvifChange sent;
    fx_->onvif.apply = [&sent](const onvif::OnvifChange& change, onvif::OnvifDeviceState& after) {
        sent = change;
        after = CameraState();
        // Markup and a right-to-left override from the camera: shown as sent, in order.
        after.streamUris.push_back("rtsp://192.168.1.50/<img src=\"x\">\xe2\x80\xae" "2s");
        after.ipv4 = *change.ipv4;
        after.hostname = change.hostname.value_or(after.hostname);
        return onvif::OnvifResult{};
    };
    LogIn(QStringLiteral("wrong"));
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifLogin));
    LogIn(QStringLiteral("secret"));
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifAddress));
    // The read MAC is the search row's from now on.
    QCOMPARE(W().OnvifPath().macs[HeardCamera().endpoint], std::string("aa:bb:cc:00:00:01"));

    // Another subnet: the free address in the PC's, with the PC's gateway.
    auto* address = On<Ipv4AddressEdit>(W(), kPageOnvifAddress, OnvifAddressPage::kAddress);
    QCOMPARE(address->Value().Text(), std::string("192.168.1.252"));
    QCOMPARE(On<Ipv4AddressEdit>(W(), kPageOnvifAddress, OnvifAddressPage::kGateway)->Value().Text(),
             std::string("192.168.1.1"));
    QVERIFY(On<QLabel>(W(), kPageOnvifAddress, OnvifAddressPage::kCurrent)->text().contains(QStringLiteral("10.9.0.20/24")));
    // A gateway outside the subnet is refused before anything is sent.
    auto* gateway = On<Ipv4AddressEdit>(W(), kPageOnvifAddress, OnvifAddressPage::kGateway);
    gateway->SetValue(Ipv4Address::FromHostOrder(0x0A000001));
    fx_->prompter.Answer(PromptAnswer::Ok);
    On<QAbstractButton>(W(), kPageOnvifAddress, OnvifAddressPage::kNext)->click();
    QCoreApplication::processEvents();
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifAddress));
    QVERIFY(fx_->LastPrompt().text.contains(QStringLiteral("gateway")));
    gateway->SetValue(Ipv4Address::FromHostOrder(0xC0A80101));
    On<QAbstractButton>(W(), kPageOnvifAddress, OnvifAddressPage::kNext)->click();
    QCoreApplication::processEvents();
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifClock));

    // Half a year behind is said, with what it means for the login, and the PC's time is chosen.
    const QString note = On<QLabel>(W(), kPageOnvifClock, OnvifClockPage::kClockNote)->text();
    QVERIFY2(note.contains(QStringLiteral("183 days behind")) &&
                 note.contains(QStringLiteral("signed with its own clock")),
             qPrintable(note));
    // Within a day it is only set; the login's clock is no news.
    const auto* clockPage = qobject_cast<OnvifClockPage*>(W().Page(kPageOnvifClock));
    QVERIFY(!clockPage->OffsetText(-20 * 3600).contains(QStringLiteral("signed")));
    QVERIFY(clockPage->OffsetText(86400 + 60).contains(QStringLiteral("signed")));
    QVERIFY(On<QRadioButton>(W(), kPageOnvifClock, OnvifClockPage::kPcTimeRadio)->isChecked());
    auto* name = On<QLineEdit>(W(), kPageOnvifClock, OnvifClockPage::kHostName);
    name->setText(QStringLiteral("-bad-"));
    fx_->prompter.Answer(PromptAnswer::Ok);
    On<QAbstractButton>(W(), kPageOnvifClock, OnvifClockPage::kNext)->click();
    QCoreApplication::processEvents();
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifClock));
    name->setText(QStringLiteral("lobby-dome"));
    On<QAbstractButton>(W(), kPageOnvifClock, OnvifClockPage::kNext)->click();
    QCoreApplication::processEvents();
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifSummary));

    const QString summary = On<QLabel>(W(), kPageOnvifSummary, OnvifSummaryPage::kChanges)->text();
    QVERIFY2(summary.contains(QStringLiteral("10.9.0.20/24 \u2192 192.168.1.252/24")), qPrintable(summary));
    QVERIFY(summary.contains(QStringLiteral("dome-old \u2192 lobby-dome")));
    QVERIFY(summary.contains(QStringLiteral("Clock")));
    QVERIFY(summary.contains(QStringLiteral("DNS server: 10.9.0.1 \u2192 192.168.1.2")));
    Apply();
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifFinished));
    QCOMPARE(sent.ipv4->address, std::string("192.168.1.252"));
    QCOMPARE(sent.ipv4->prefix, 24);
    QCOMPARE(*sent.gateway, std::string("192.168.1.1"));
    QCOMPARE(*sent.hostname, std::string("lobby-dome"));
    QVERIFY(sent.syncTime);

    QCOMPARE(On<QLineEdit>(W(), kPageOnvifFinished, OnvifFinishedPage::kAddress)->text(), QStringLiteral("192.168.1.252"));
    auto* streams = On<QTreeWidget>(W(), kPageOnvifFinished, OnvifFinishedPage::kStreams);
    QCOMPARE(streams->topLevelItemCount(), 3);
    // The tooltip shows what the row shows, as Qt renders a tooltip (rich
    // text when it looks like markup).
    const QString hostile = QStringLiteral("rtsp://192.168.1.50/<img src=\"x\">2s");
    QCOMPARE(streams->topLevelItem(2)->text(0), hostile);
    const QString tip = streams->topLevelItem(2)->toolTip(0);
    QTextDocument shown;
    if (Qt::mightBeRichText(tip)) shown.setHtml(tip);
    else shown.setPlainText(tip);
    QCOMPARE(shown.toPlainText(), hostile);
    On<QAbstractButton>(W(), kPageOnvifFinished, OnvifFinishedPage::kCopy)->click();
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("rtsp://192.168.1.50/stream1\nrtsp://192.168.1.50/stream2\n") + hostile);
    // Its web page at its new address.
    On<QAbstractButton>(W(), kPageOnvifFinished, OnvifFinishedPage::kLink)->click();
    QCOMPARE(fx_->urls.opened.back(), QStringLiteral("http://192.168.1.252/"));
}

void OnvifPathTest::failedChangeIsSaidAndTheSummaryStays() {
    fx_->onvif.read = [](const onvif::OnvifCredentials&, onvif::OnvifDeviceState& s) {
        s = CameraState();
        s.time.offsetSeconds = 2;
        s.time.ntp = true;
        s.ntp = {"pool.example"};
        return onvif::OnvifResult{};
    };
    fx_->onvif.apply = [](const onvif::OnvifChange&, onvif::OnvifDeviceState&) {
        return onvif::OnvifResult{OnvifStatus::NotFound, "no answer within 180 s"};
    };
    LogIn(QStringLiteral("x"));
    On<QAbstractButton>(W(), kPageOnvifAddress, OnvifAddressPage::kNext)->click();
    QCoreApplication::processEvents();
    // A clock that is right and kept by NTP stays so, and is not mentioned.
    QVERIFY(On<QLabel>(W(), kPageOnvifClock, OnvifClockPage::kClockNote)->text().isEmpty());
    QVERIFY(On<QRadioButton>(W(), kPageOnvifClock, OnvifClockPage::kNtpRadio)->isChecked());
    On<QAbstractButton>(W(), kPageOnvifClock, OnvifClockPage::kNext)->click();
    QCoreApplication::processEvents();
    fx_->prompter.Answer(PromptAnswer::Ok);
    Apply();
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifSummary));
    QVERIFY(W().isEnabled());
    QCOMPARE(fx_->LastPrompt().icon, PromptIcon::Critical);
    QVERIFY(fx_->LastPrompt().text.contains(QStringLiteral("did not show up again")));
    QVERIFY(fx_->LastPrompt().text.contains(QStringLiteral("no answer within 180 s")));
}

void OnvifPathTest::nothingToChangeSendsNothing() {
    // A camera in the PC's subnet, fixed, with the PC's settings, on NTP.
    fx_->onvif.read = [](const onvif::OnvifCredentials&, onvif::OnvifDeviceState& s) {
        s = CameraState();
        s.ipv4 = {false, "192.168.1.60", 24};
        s.gateway = "192.168.1.1";
        s.dns = {"192.168.1.2"};
        s.ntp = {"192.168.1.1"};
        s.time.offsetSeconds = 0;
        s.time.ntp = true;
        return onvif::OnvifResult{};
    };
    LogIn(QStringLiteral("x"));
    QCOMPARE(On<Ipv4AddressEdit>(W(), kPageOnvifAddress, OnvifAddressPage::kAddress)->Value().Text(),
             std::string("192.168.1.60"));
    On<QAbstractButton>(W(), kPageOnvifAddress, OnvifAddressPage::kNext)->click();
    QCoreApplication::processEvents();
    On<QAbstractButton>(W(), kPageOnvifClock, OnvifClockPage::kNext)->click();
    QCoreApplication::processEvents();
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifSummary));
    QVERIFY(!On<QAbstractButton>(W(), kPageOnvifSummary, OnvifSummaryPage::kSave)->isEnabled());
    QVERIFY(On<QLabel>(W(), kPageOnvifSummary, OnvifSummaryPage::kChanges)->text().contains(QStringLiteral("Nothing")));
    QCOMPARE(fx_->onvif.Calls().size(), std::size_t{1});  // the read only
}

void OnvifPathTest::linkLocalDhcpCameraIsOfferedAFixedAddress() {
    // Its DHCP went unanswered: a fixed address in the PC's subnet it is.
    fx_->onvif.read = [](const onvif::OnvifCredentials&, onvif::OnvifDeviceState& s) {
        s = CameraState();
        s.ipv4 = {true, "169.254.77.20", 16};
        return onvif::OnvifResult{};
    };
    LogIn(QStringLiteral("x"));
    QVERIFY(On<QRadioButton>(W(), kPageOnvifAddress, OnvifAddressPage::kFixedRadio)->isChecked());
    QCOMPARE(On<Ipv4AddressEdit>(W(), kPageOnvifAddress, OnvifAddressPage::kAddress)->Value().Text(),
             std::string("192.168.1.253"));
    QCOMPARE(On<Ipv4AddressEdit>(W(), kPageOnvifAddress, OnvifAddressPage::kMask)->Value().Text(),
             std::string("255.255.255.0"));
}

// The chosen camera's reference was heard from two addresses with two
// cards behind them: another device claims to be it. The login page says
// so naming both, and no login goes to either.
void OnvifPathTest::referenceFromTwoDevicesSendsNothing() {
    onvif::DiscoveredOnvifDevice d = HeardCamera();
    d.heardFrom = {0x0A090014, 0x0A090042};  // 10.9.0.20, 10.9.0.66
    fx_->net.arpOwners[hostnet::Ip("10.9.0.20")] = {2, 0, 0, 0, 0, 0x20};
    fx_->net.arpOwners[hostnet::Ip("10.9.0.66")] = {2, 0, 0, 0, 0, 0x66};
    W().OnvifPath().Choose(d);
    W().HandleCommand(WizardCommand::ShowOnvifLoginPage);
    fx_->onvif.read = [](const onvif::OnvifCredentials&, onvif::OnvifDeviceState& state) {
        state = CameraState();
        return onvif::OnvifResult{};
    };
    LogIn(QStringLiteral("pw"));
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifLogin));
    auto* status = On<QLabel>(W(), kPageOnvifLogin, OnvifLoginPage::kStatus);
    QVERIFY2(status->text().contains(QStringLiteral("10.9.0.20 and 10.9.0.66")), qPrintable(status->text()));
    QVERIFY(fx_->onvif.Calls().empty());
}

QTEST_MAIN(OnvifPathTest)
#include "onvif_path_test.moc"

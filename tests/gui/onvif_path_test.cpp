// The path of another maker's camera through the real window, against a
// scripted ONVIF service: the login page tells a refused password, a
// missing ONVIF user and a switched-off service apart and stays; a good
// login leads to the address page with the proposal; the clock page says a
// far-off clock; the summary lists only what changes; the change runs on
// the worker and the finish page shows where the camera is now and its
// stream addresses; a failed change is said and the summary stays; a
// firmware image chosen on the finish page is checked, asked about, sent on
// the worker with the wait window's bar following it, and the version read
// back is said and shown.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextDocument>
#include <QTreeWidget>

#include "core/base/AddressText.h"
#include "gui/app/OnvifOperations.h"
#include "gui/dialogs/CameraPictureDialog.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/pages/OnvifAddressPage.h"
#include "gui/pages/OnvifClockPage.h"
#include "gui/pages/OnvifFinishedPage.h"
#include "gui/pages/OnvifLoginPage.h"
#include "gui/pages/OnvifStreamsPage.h"
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

// A camera's still as Qt writes one (baseline JPEG).
std::string CameraJpeg() {
    QImage image(640, 360, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes.toStdString();
}

// The same picture whose frame header claims 60000 x 60000 pixels: a
// decoder that believed it would ask for gigabytes.
std::string GiantJpeg() {
    std::string j = CameraJpeg();
    const std::size_t sof = j.find("\xFF\xC0");
    for (std::size_t i : {sof + 5, sof + 7}) {
        j[i] = '\xEA';
        j[i + 1] = '\x60';
    }
    return j;
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
    void pictureAfterTheLoginOrAPlainLine_data();
    void pictureAfterTheLoginOrAPlainLine();
    void finishPageReportAndThePictureWindow();
    void firmwareFromTheFinishPage();

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
        // A main stream whose encoder offers choices, a sub stream whose states none.
        for (const char* token : {"profile_1", "profile_2"}) {
            onvif::OnvifProfile p;
            p.token = token;
            p.name = token == std::string("profile_1") ? "main stream" : "sub stream";
            p.streamUri = std::string("rtsp://10.9.0.20/") + token;
            p.encoder = onvif::OnvifVideoEncoder{};
            p.encoder->encoding = "H264";
            p.encoder->width = token == std::string("profile_1") ? 2592 : 640;
            p.encoder->height = token == std::string("profile_1") ? 1944 : 360;
            p.encoder->fpsLimit = 25;
            p.encoder->bitrateKbps = token == std::string("profile_1") ? 8192 : 1024;
            p.encoder->gop = 50;
            s.profiles.push_back(p);
        }
        return onvif::OnvifResult{};
    };
    fx_->onvif.streamOptions = [](const std::string& profile, onvif::OnvifEncoderOptions& o) {
        if (profile == "profile_1")
            o.encodings = {{"H264", {{2592, 1944}, {1280, 720}}, {25, 15, 10}, {}, {64, 16384}, {1, 250}},
                           {"H265", {{2592, 1944}}, {25}, {}, {64, 8192}, {1, 250}}};
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
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifStreams));

    // One row a profile: the choices are the encoder's own; the stream
    // address is there to copy; a stream without options cannot be changed.
    const int main = OnvifStreamsPage::kRowBase, sub = OnvifStreamsPage::kRowBase + 10;
    auto* resolution = On<QComboBox>(W(), kPageOnvifStreams, main + OnvifStreamsPage::kResolution);
    QCOMPARE(resolution->count(), 2);
    QCOMPARE(resolution->currentText(), QStringLiteral("2592x1944"));
    auto* fps = On<QComboBox>(W(), kPageOnvifStreams, main + OnvifStreamsPage::kFps);
    QCOMPARE(fps->count(), 3);
    QCOMPARE(On<QLabel>(W(), kPageOnvifStreams, main + OnvifStreamsPage::kUri)->text(),
             QStringLiteral("rtsp://10.9.0.20/profile_1"));
    QVERIFY(!On<QComboBox>(W(), kPageOnvifStreams, sub + OnvifStreamsPage::kResolution)->isEnabled());
    QVERIFY(On<QLabel>(W(), kPageOnvifStreams, OnvifStreamsPage::kNote)->text().contains(QStringLiteral("sub stream")));
    // H.265 offers one size only: the list follows the encoding.
    auto* encoding = On<QComboBox>(W(), kPageOnvifStreams, main + OnvifStreamsPage::kEncoding);
    encoding->setCurrentText(QStringLiteral("H265"));
    QCOMPARE(resolution->count(), 1);
    encoding->setCurrentText(QStringLiteral("H264"));
    resolution->setCurrentText(QStringLiteral("1280x720"));
    fps->setCurrentText(QStringLiteral("15"));
    On<QLineEdit>(W(), kPageOnvifStreams, main + OnvifStreamsPage::kBitrate)->setText(QStringLiteral("4096"));
    On<QAbstractButton>(W(), kPageOnvifStreams, OnvifStreamsPage::kNext)->click();
    QCoreApplication::processEvents();
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifSummary));

    const QString summary = On<QLabel>(W(), kPageOnvifSummary, OnvifSummaryPage::kChanges)->text();
    QVERIFY2(summary.contains(QStringLiteral("10.9.0.20/24 \u2192 192.168.1.252/24")), qPrintable(summary));
    QVERIFY(summary.contains(QStringLiteral("dome-old \u2192 lobby-dome")));
    QVERIFY(summary.contains(QStringLiteral("Clock")));
    QVERIFY(summary.contains(QStringLiteral("DNS server: 10.9.0.1 \u2192 192.168.1.2")));
    QVERIFY2(summary.contains(QStringLiteral("Main stream: 2592x1944 25 fps 8192 kbit/s \u2192 1280x720 15 fps 4096 kbit/s")),
             qPrintable(summary));
    QVERIFY(!summary.contains(QStringLiteral("Sub stream")));
    Apply();
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifFinished));
    QCOMPARE(sent.ipv4->address, std::string("192.168.1.252"));
    QCOMPARE(sent.ipv4->prefix, 24);
    QCOMPARE(*sent.gateway, std::string("192.168.1.1"));
    QCOMPARE(*sent.hostname, std::string("lobby-dome"));
    QVERIFY(sent.syncTime);
    QCOMPARE(sent.streams.size(), std::size_t{1});
    QCOMPARE(sent.streams[0].profile, std::string("profile_1"));
    QVERIFY(!sent.streams[0].encoding && !sent.streams[0].gop);  // only what was changed
    QCOMPARE(*sent.streams[0].fps, 15);

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
    On<QAbstractButton>(W(), kPageOnvifStreams, OnvifStreamsPage::kNext)->click();
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
    On<QAbstractButton>(W(), kPageOnvifStreams, OnvifStreamsPage::kNext)->click();
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

void OnvifPathTest::pictureAfterTheLoginOrAPlainLine_data() {
    QTest::addColumn<int>("shape");
    QTest::addColumn<QString>("line");  // empty: a picture shows
    QTest::newRow("a JPEG") << 0 << QString();
    QTest::newRow("no snapshot address") << 1 << QStringLiteral("The camera gives no picture.");
    QTest::newRow("bytes the decoder cannot read") << 2 << QStringLiteral("picture cannot be shown");
    QTest::newRow("refused by the fetch (over 8 MiB)") << 3 << QStringLiteral("picture cannot be shown");
    QTest::newRow("a frame header claiming gigabytes") << 4 << QStringLiteral("picture cannot be shown");
    QTest::newRow("the camera stopped answering") << 5 << QStringLiteral("stopped answering");
}

// The picture comes with the login, on the worker, and shows on the
// address page (small) and the finish page; anything else is a plain line.
void OnvifPathTest::pictureAfterTheLoginOrAPlainLine() {
    QFETCH(int, shape);
    QFETCH(QString, line);
    fx_->onvif.read = [](const onvif::OnvifCredentials&, onvif::OnvifDeviceState& s) {
        s = CameraState();
        return onvif::OnvifResult{};
    };
    std::string takenWith;
    fx_->onvif.snapshot = [shape, &takenWith](const onvif::OnvifCredentials& login, onvif::OnvifSnapshot& p) {
        takenWith = login.password;
        switch (shape) {
            case 0: p.jpeg = CameraJpeg(); return onvif::OnvifResult{};
            case 1: return onvif::OnvifResult{OnvifStatus::NotSupported, "no snapshot address"};
            case 2: p.jpeg = "\xFF\xD8 not really \xFF\xD9"; return onvif::OnvifResult{};
            case 3: return onvif::OnvifResult{OnvifStatus::BadReply, "the picture is larger than 8 MiB"};
            case 4: p.jpeg = GiantJpeg(); return onvif::OnvifResult{};
            default: return onvif::OnvifResult{OnvifStatus::TimedOut, "silence"};
        }
    };
    LogIn(QStringLiteral("secret"));
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifAddress));
    QCOMPARE(takenWith, std::string("secret"));
    W().OnvifPath().after = CameraState();
    W().HandleCommand(WizardCommand::ShowOnvifFinishedPage);
    for (QLabel* shown : {On<QLabel>(W(), kPageOnvifAddress, OnvifAddressPage::kPicture),
                          On<QLabel>(W(), kPageOnvifFinished, OnvifFinishedPage::kPicture)}) {
        if (line.isEmpty()) {
            QVERIFY(!shown->pixmap().isNull());
            QVERIFY(shown->text().isEmpty());
            // Scaled into its place, the aspect kept.
            const QSize size = shown->pixmap().deviceIndependentSize().toSize();
            QVERIFY(size.width() <= shown->width() && size.height() <= shown->height());
            QVERIFY(qAbs(size.width() * 360 - size.height() * 640) <= 640);
        } else {
            QVERIFY(shown->pixmap().isNull());
            QVERIFY2(shown->text().contains(line), qPrintable(shown->text()));
            QCOMPARE(shown->textFormat(), Qt::PlainText);
        }
    }
}

void OnvifPathTest::finishPageReportAndThePictureWindow() {
    fx_->onvif.read = [](const onvif::OnvifCredentials&, onvif::OnvifDeviceState& s) {
        s = CameraState();
        s.hostname = "<script>alert(1)</script>";
        return onvif::OnvifResult{};
    };
    fx_->onvif.snapshot = [](const onvif::OnvifCredentials&, onvif::OnvifSnapshot& p) {
        p.jpeg = CameraJpeg();
        return onvif::OnvifResult{};
    };
    // Before any login there is no login to take a picture with.
    W().OnvifPath().pictureOf = HeardCamera();
    W().HandleCommand(WizardCommand::ShowOnvifPicture);
    QVERIFY(!W().Onvif().Busy());
    LogIn(QStringLiteral("secret"));
    W().OnvifPath().after = W().OnvifPath().before;
    W().HandleCommand(WizardCommand::ShowOnvifFinishedPage);
    auto* page = qobject_cast<OnvifFinishedPage*>(W().Page(kPageOnvifFinished));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("camera.html"));
    QVERIFY(page->SaveReport(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QVERIFY(!html.contains(QStringLiteral("<script"), Qt::CaseInsensitive));
    QVERIFY(html.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")));
    QVERIFY(html.contains(QStringLiteral("rtsp://192.168.1.50/stream1")));
    // The picture inline, made small for the page.
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("src=\"data:image/jpeg;base64,([A-Za-z0-9+/=]+)\"")).match(html);
    QVERIFY(m.hasMatch());
    const QImage thumbnail = QImage::fromData(QByteArray::fromBase64(m.captured(1).toLatin1()), "JPEG");
    QCOMPARE(thumbnail.size(), QSize(320, 180));

    // The search list's "Show picture" for the camera logged in to: taken
    // on the worker with that login, shown in a window of its own.
    W().OnvifPath().pictureOf = HeardCamera();
    W().HandleCommand(WizardCommand::ShowOnvifPicture);
    QVERIFY(W().Onvif().Busy());
    QTRY_VERIFY_WITH_TIMEOUT((W().Onvif().Tick(), !W().Onvif().Busy()), 5000);
    auto* window = W().findChild<CameraPictureDialog*>();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QVERIFY(!window->Picture()->pixmap().isNull());
    QCOMPARE(window->windowTitle(), QStringLiteral("Lobby"));
    window->close();
}

QTEST_MAIN(OnvifPathTest)
void OnvifPathTest::firmwareFromTheFinishPage() {
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("cam-2.7.0.bin"));
    {
        QFile f(image);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(300 * 1024, 'x'));
    }
    W().OnvifPath().before = CameraState();
    W().OnvifPath().before.firmware = "2.6.0";
    W().OnvifPath().after = W().OnvifPath().before;
    W().HandleCommand(WizardCommand::ShowOnvifFinishedPage);
    auto* firmware = On<QLineEdit>(W(), kPageOnvifFinished, OnvifFinishedPage::kFirmware);
    auto* upgrade = On<QAbstractButton>(W(), kPageOnvifFinished, OnvifFinishedPage::kUpgrade);
    QCOMPARE(firmware->text(), QStringLiteral("2.6.0"));
    QCOMPARE(upgrade->text(), QStringLiteral("Upgrade Firmware\u2026"));
    const auto choose = [this](const QString& path) {
        fx_->prompter.AnswerDialog([path](QDialog& d) {
            static_cast<QFileDialog&>(d).selectFile(path);
            return int(QDialog::Accepted);
        });
    };
    std::atomic<bool> onWindowThread{false};
    fx_->onvif.upgrade = [&](const onvif::FirmwareUpgrade& u, const onvif::FirmwareProgressFn& progress,
                             onvif::FirmwareReport& report) {
        onWindowThread = QThread::currentThread() == qApp->thread();
        progress({onvif::FirmwareProgress::Stage::Uploading, 150 * 1024, 300 * 1024});
        report.before = "2.6.0";
        if (u.file.find("cam-2.7.0.bin") == std::string::npos) return onvif::OnvifResult{OnvifStatus::Refused, u.file};
        report.after = "2.7.0";
        return onvif::OnvifResult{};
    };

    // Not a file that may be sent: said at once, nothing asked or sent.
    choose(dir.path());
    fx_->prompter.Answer(PromptAnswer::Ok);
    upgrade->click();
    QCOMPARE(fx_->LastPrompt().icon, PromptIcon::Critical);
    QVERIFY2(fx_->LastPrompt().text.contains(QStringLiteral("is a folder")), qPrintable(fx_->LastPrompt().text));
    // Asked first; No sends nothing.
    choose(image);
    fx_->prompter.Answer(PromptAnswer::No);
    upgrade->click();
    QCoreApplication::processEvents();
    QVERIFY(fx_->LastPrompt().text.contains(QStringLiteral("Send cam-2.7.0.bin to the camera?")));
    QVERIFY(!W().Onvif().Busy());
    for (const auto& call : fx_->onvif.Calls()) QVERIFY(call.what != "upgrade");

    choose(image);
    fx_->prompter.Answer(PromptAnswer::Yes);
    fx_->prompter.Answer(PromptAnswer::Ok);
    upgrade->click();
    QCoreApplication::processEvents();  // the posted upgrade
    QTRY_VERIFY_WITH_TIMEOUT((W().Onvif().Tick(), !W().Onvif().Busy()), 5000);
    QVERIFY(!onWindowThread);
    QCOMPARE(fx_->LastPrompt().icon, PromptIcon::Information);
    QVERIFY2(fx_->LastPrompt().text.contains(QStringLiteral("now runs firmware 2.7.0 (before: 2.6.0)")),
             qPrintable(fx_->LastPrompt().text));
    QCOMPARE(W().Pages().CurrentIndex(), int(kPageOnvifFinished));
    QCOMPARE(firmware->text(), QStringLiteral("2.7.0"));
    // To the camera where it read back, with its MAC, so another device at the address gets nothing.
    const auto calls = fx_->onvif.Calls();
    QCOMPARE(calls.back().what, std::string("upgrade"));
    QCOMPARE(calls.back().device.mac, std::string("aa:bb:cc:00:00:01"));
}

#include "onvif_path_test.moc"


// Every picture and icon the pages name is compiled in and draws something
// inside the part of it that its frame shows; the deployment settings are
// read from orvanta.ini with the environment taking precedence.
#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include "gui/app/Art.h"
#include "gui/app/DeploymentSettings.h"
#include "gui/app/UrlOpener.h"

using namespace orvanta;

class ArtAndSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void everyResourceLoads_data();
    void everyResourceLoads();
    void deployment_data();
    void deployment();
    void urlOpenerRefusesWhatIsNotAWebAddress();
};

void ArtAndSettingsTest::everyResourceLoads_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("visibleWidth");   // what the smallest frame showing it reveals
    QTest::addColumn<int>("visibleHeight");
    QTest::newRow("198 banner") << art::kBanner << 590 << 80;
    QTest::newRow("206 pppoe") << art::kFirstPppoe << 387 << 334;
    QTest::newRow("210 router") << art::kFirstRouter << 387 << 334;
    QTest::newRow("211 no internet") << art::kFirstNoInternet << 387 << 334;
    QTest::newRow("224 diagram") << art::kDiagramRouter << 450 << 361;
    QTest::newRow("227 lan") << art::kDiagramLan << 450 << 356;
    QTest::newRow("228 wireless") << art::kDiagramWireless << 450 << 364;
    QTest::newRow("209 wps button") << art::kWpsButton << 271 << 332;
    QTest::newRow("216 wps join") << art::kWpsJoin << 491 << 243;
    QTest::newRow("229 done") << art::kSetupDone << 186 << 152;
    for (int icon : {art::kIconApp, art::kIconSearch, art::kIconSetup, art::kIconAbout, art::kIconNext, art::kIconBack,
                     art::kIconIntranet, art::kIconTitle, art::kIconLanguage, art::kIconFinish, art::kIconLink})
        QTest::newRow(qPrintable(QStringLiteral("icon %1").arg(icon))) << icon << 32 << 32;
}

void ArtAndSettingsTest::everyResourceLoads() {
    QFETCH(int, id);
    QFETCH(int, visibleWidth);
    QFETCH(int, visibleHeight);
    QSvgRenderer renderer(art::Path(id));
    QVERIFY2(renderer.isValid(), qPrintable(art::Path(id)));
    const QImage image = art::Picture(id).toImage();
    QCOMPARE(image.size(), art::PictureSize(id));
    // Some of the drawing falls into the part a frame shows (pictures are
    // clipped, never scaled).
    int inked = 0;
    for (int y = 0; y < std::min(visibleHeight, image.height()); y += 2)
        for (int x = 0; x < std::min(visibleWidth, image.width()); x += 2)
            if (image.pixelColor(x, y) != QColor(Qt::white)) ++inked;
    QVERIFY2(inked > 20, qPrintable(QStringLiteral("picture %1 is blank where it is shown").arg(id)));
}

void ArtAndSettingsTest::deployment_data() {
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("envHost");  // "-" leaves the variable unset
    QTest::addColumn<QString>("envPort");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("listing");
    // The shipped file names no host: no probe, no listing server.
    QTest::newRow("defaults") << "[Network]\nProbeHost=\nProbePort=80\n" << "-" << "-" << "" << 80 << false;
    QTest::newRow("from file") << "[Network]\nProbeHost=probe.example\nProbePort=8080\nListingServerHost=list.example\n"
                               << "-" << "-" << "probe.example" << 8080 << true;
    // The environment wins over the file, also to switch the probe off.
    QTest::newRow("env host") << "[Network]\nProbeHost=probe.example\n" << "127.0.0.1" << "9" << "127.0.0.1" << 9 << false;
    QTest::newRow("env empties") << "[Network]\nProbeHost=probe.example\n" << "" << "-" << "" << 80 << false;
    // Ports outside 1..65535 or not numbers keep 80.
    QTest::newRow("bad port") << "[Network]\nProbePort=70000\n" << "-" << "-" << "" << 80 << false;
    QTest::newRow("bad env port") << "" << "-" << "http" << "" << 80 << false;
    QTest::newRow("no file") << QString() << "-" << "-" << "" << 80 << false;
}

void ArtAndSettingsTest::deployment() {
    QFETCH(QString, ini);
    QFETCH(QString, envHost);
    QFETCH(QString, envPort);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(bool, listing);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/orvanta.ini");
    if (!ini.isNull()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ini.toUtf8());
    }
    qunsetenv("ORVANTA_PROBE_HOST");
    qunsetenv("ORVANTA_PROBE_PORT");
    qunsetenv("ORVANTA_LISTING_HOST");
    qunsetenv("ORVANTA_LISTING_PORT");
    if (envHost != QLatin1String("-")) qputenv("ORVANTA_PROBE_HOST", envHost.toUtf8());
    if (envPort != QLatin1String("-")) qputenv("ORVANTA_PROBE_PORT", envPort.toUtf8());
    const DeploymentSettings d = DeploymentSettings::Load(path);
    QCOMPARE(d.probeHost, host);
    QCOMPARE(d.probePort, port);
    QCOMPARE(d.HasProbeHost(), !host.isEmpty());
    QCOMPARE(d.HasListingServer(), listing);
}

void ArtAndSettingsTest::urlOpenerRefusesWhatIsNotAWebAddress() {
    // The address is built from text a camera reported: anything but an
    // http(s) address must be refused before a handler ever sees it.
    DesktopUrlOpener opener;
    for (const char* url : {"file:///etc/passwd", "javascript:alert(1)", "smb://10.0.0.1/share", "", "http//no-colon",
                            "ftp://192.168.1.10:21"})
        QVERIFY2(!opener.Open(QString::fromLatin1(url)), url);
}

QTEST_MAIN(ArtAndSettingsTest)
#include "art_and_settings_test.moc"

// The window's start-up and end as a whole: the PC's adapters and dial-up
// account read into the record, the reachability probe only against the
// configured host, the first page's box filled from both, and the aliases
// removed when the window goes away.
#include <QTest>

#include "LoopbackCamera.h"
#include "core/base/AddressText.h"
#include "gui/pages/StartPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::hostnet;
using namespace orvanta::testing;

namespace {

Adapter MakeAdapter(uint32_t index, AdapterType type, const char* address, const char* gateway, bool dhcp) {
    Adapter a;
    a.index = index;
    a.name = type == AdapterType::Ppp ? "ppp0" : "eth0";
    a.type = type;
    a.up = true;
    a.addresses.push_back({Ip(address), Ip("255.255.255.0")});
    if (gateway) a.gateways.push_back(Ip(gateway));
    a.dhcpEnabled = dhcp;
    a.dhcpServer = dhcp ? Ip("192.168.1.1") : 0;
    return a;
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->WriteLanguage(QStringLiteral("English (ENG).ini"),
                           QStringLiteral("[FirstPage]\nLinkTypeEthernet=ETH\nLinkTypePPPOE=PPPOE\nLinkFixedIP=FIXED\n"
                                          "LinkDynamicIP=DYNAMIC\nLinkNotConnect=OFFLINE\nLinkUnknown=UNKNOWN\n"));
        fx_->RememberLanguage(QStringLiteral("English (ENG).ini"));
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        fx_.reset();
    }

    void wiredPcReachingTheProbeHost();
    void dialUpPcWithClosedProbePort();
    void noProbeHostAsksTheDesktop_data();
    void noProbeHostAsksTheDesktop();
    void closingRemovesTheAliases();

private:
    std::unique_ptr<WizardFixture> fx_;
};

void StartupTest::wiredPcReachingTheProbeHost() {
    const LoopbackCamera probeHost;
    QVERIFY(probeHost.Port() > 0);
    fx_->net.listing.adapters.push_back(MakeAdapter(2, AdapterType::Ethernet, "192.168.1.5", "192.168.1.1", true));
    DeploymentSettings d;
    d.probeHost = QStringLiteral("127.0.0.1");
    d.probePort = probeHost.Port();
    // The deployment's own probe wins over the desktop's opinion.
    fx_->desktopInternet = kInternetNo;
    WizardWindow& dlg = fx_->Start(d);
    const CameraSettings& s = dlg.Settings();
    // The probe answers on the worker: the window has started without it.
    QCOMPARE(s.internetReachable, uint8_t{kInternetUnknown});
    QCOMPARE(dlg.FirstPage()->NetworkText(), QStringLiteral("ETH\nDYNAMIC\nUNKNOWN"));
    QTRY_COMPARE(s.internetReachable, uint8_t{1});
    QCOMPARE(s.HostAdapterFound, uint8_t{1});
    QCOMPARE(s.HostIfIndex, 2u);
    QCOMPARE(QByteArray(s.HostIP), QByteArray("192.168.1.5"));
    QCOMPARE(s.HostDHCP, uint8_t{1});
    // The login is asked afresh; the read flags start clear.
    QCOMPARE(s.User[0], '\0');
    QCOMPARE(s.Loaded, uint8_t{0});
    QCOMPARE(dlg.FirstPage()->NetworkText(), QStringLiteral("ETH\nDYNAMIC"));
    // No dial-up adapter: the phonebook is not read.
    QVERIFY(fx_->net.CallsOf("dialup").empty());
}

void StartupTest::dialUpPcWithClosedProbePort() {
    // A port nothing listens on (taken and given back).
    const uint16_t closed = LoopbackCamera().Port();
    QVERIFY(closed > 0);
    fx_->net.listing.adapters.push_back(MakeAdapter(5, AdapterType::Ppp, "10.64.0.2", nullptr, false));
    fx_->net.dialUp.found = true;
    fx_->net.dialUp.user = "alice";
    fx_->net.dialUp.passwordKnown = true;
    fx_->net.dialUp.password = "secret";
    DeploymentSettings d;
    d.probeHost = QStringLiteral("127.0.0.1");
    d.probePort = closed;
    WizardWindow& dlg = fx_->Start(d);
    const CameraSettings& s = dlg.Settings();
    QTRY_COMPARE(s.internetReachable, uint8_t{0});
    QCOMPARE(s.HostDialUp, uint8_t{1});
    QCOMPARE(QByteArray(s.DialUser), QByteArray("alice"));
    QCOMPARE(dlg.FirstPage()->NetworkText(), QStringLiteral("OFFLINE"));
}

void StartupTest::noProbeHostAsksTheDesktop_data() {
    QTest::addColumn<int>("desktop");
    QTest::addColumn<QString>("text");
    QTest::newRow("online") << int(kInternetYes) << "ETH\nFIXED";
    QTest::newRow("offline") << int(kInternetNo) << "OFFLINE";
    // Nothing could tell: the link as it is, and the Internet unknown,
    // never "not connected".
    QTest::newRow("unknown") << int(kInternetUnknown) << "ETH\nFIXED\nUNKNOWN";
    // An answer out of range is no answer.
    QTest::newRow("garbage") << 7 << "ETH\nFIXED\nUNKNOWN";
}

void StartupTest::noProbeHostAsksTheDesktop() {
    QFETCH(int, desktop);
    QFETCH(QString, text);
    fx_->net.listing.adapters.push_back(MakeAdapter(2, AdapterType::Ethernet, "192.168.1.5", "192.168.1.1", false));
    fx_->desktopInternet = desktop;
    WizardWindow& dlg = fx_->Start();
    QCOMPARE(dlg.FirstPage()->NetworkText(), text);
    QCOMPARE(dlg.Pages().CurrentIndex(), 0);
}

void StartupTest::closingRemovesTheAliases() {
    fx_->net.listing.adapters.push_back(MakeAdapter(2, AdapterType::Ethernet, "192.168.1.5", "192.168.1.1", false));
    WizardWindow& dlg = fx_->Start();
    // Two aliases the camera operations added.
    for (const char* address : {"10.0.0.254", "172.16.5.254"}) {
        const AliasContext alias{2, Ip(address), Ip("255.255.255.0")};
        QVERIFY(fx_->net.AddAlias(alias).ok());
        dlg.Aliases().SetPending(alias);
        dlg.Aliases().Commit(alias);
    }
    QVERIFY(fx_->net.CallsOf("del").empty());
    fx_->CloseWindow();
    QCOMPARE(int(fx_->net.CallsOf("del").size()), 2);
    QVERIFY(fx_->net.present.empty());
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"

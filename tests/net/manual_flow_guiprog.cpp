// The manual setup path of the real wizard, offscreen, from the PC namespace
// of the lab against simulated cameras: an installed camera is searched for,
// read, set up page by page and saved, and the wizard returns to its first
// page. The camera addresses come from ORVANTA_TEST_MANUAL_LAN (the wired and
// wireless flow) and ORVANTA_TEST_MANUAL_PPPOE (the PPPoE flow); the date and
// time the wizard took from the PC clock are written to the file named by
// ORVANTA_TEST_MANUAL_OUT, for the script to find them in the camera.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "gui/controls/Ipv4AddressEdit.h"
#include "LabFlowSupport.h"
#include "gui/pages/SetupChoicePage.h"
#include "gui/pages/DdnsPage.h"
#include "gui/pages/StartPage.h"
#include "gui/pages/LanAddressPage.h"
#include "gui/pages/IspLinkPage.h"
#include "gui/pages/WirelessAddressPage.h"
#include "gui/pages/SystemPage.h"
#include "gui/pages/UpnpPortsPage.h"
#include "gui/pages/WirelessNetworkPage.h"
#include "gui/framework/PageIndex.h"
#include "support/ControlInput.h"

using namespace orvanta;
using namespace orvanta::testing;

class ManualFlow : public LabFlow {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void lanFixedThenWirelessWpa2();
    void pppoeOnTheIspPage();

private:
    void Click(QAbstractButton* b) { b->click(); }
    bool SearchAndRead(const QString& cameraIp);
    bool ConfirmAndSave(PromptAnswer savedMessageAnswer);
};

void ManualFlow::init() { StartWizard("10.97.0.1", 40); }

void ManualFlow::cleanup() { CloseWizard(); }

// First page "Setup Camera", "No" on the choice page, a search, the camera
// selected, Next: the camera is read and the system page comes up.
bool ManualFlow::SearchAndRead(const QString& cameraIp) {
    if (cameraIp.isEmpty()) {
        qWarning("no camera address given");
        return false;
    }
    Click(On<QAbstractButton>(kPageStart, StartPage::kSetupButton));
    if (!At(kPageSetupChoice)) return false;
    Click(On<QRadioButton>(kPageSetupChoice, SetupChoicePage::kNoRadio));
    Click(Page(kPageSetupChoice)->NextButton());
    if (!At(kPageSearch)) return false;
    QTreeWidgetItem* row = SearchFor(cameraIp);
    if (!row) return false;
    row->treeWidget()->setCurrentItem(row);
    row->setSelected(true);
    Click(Page(kPageSearch)->NextButton());
    // The read runs on the worker; an installed camera goes to the system page.
    if (!At(kPageSystem)) return false;
    if (S().Loaded != 1) return false;
    return true;
}

// The DDNS page's Next asks before saving; the save ends with a message and
// the first page.
bool ManualFlow::ConfirmAndSave(PromptAnswer savedMessageAnswer) {
    fx_->prompter.Answer(PromptAnswer::Ok);          // save now?
    fx_->prompter.Answer(savedMessageAnswer);        // settings saved
    Click(Page(kPageDynamicDns)->NextButton());
    if (!At(kPageStart)) return false;
    return true;
}

void ManualFlow::lanFixedThenWirelessWpa2() {
    QVERIFY(SearchAndRead(qEnvironmentVariable("ORVANTA_TEST_MANUAL_LAN")));
    // What the camera holds is on the page.
    QCOMPARE(On<QLineEdit>(kPageSystem, SystemPage::kHostName)->text(), QStringLiteral("Old name"));

    // System page: name, description, the PC's clock.
    Type(On<QLineEdit>(kPageSystem, SystemPage::kHostName), QStringLiteral("Lab Cam 7"));
    Type(On<QLineEdit>(kPageSystem, SystemPage::kDescription), QStringLiteral("Hall & stairs"));
    Click(On<QRadioButton>(kPageSystem, SystemPage::kSyncRadio));
    Click(Page(kPageSystem)->NextButton());
    QVERIFY(At(kPageIspLink));
    QCOMPARE(S().NTPEN, uint8_t{0});
    const QString out = qEnvironmentVariable("ORVANTA_TEST_MANUAL_OUT");
    if (!out.isEmpty()) {
        QFile f(out);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QStringLiteral("Date=%1\nTime=%2\n").arg(QString::fromUtf8(S().Date), QString::fromUtf8(S().Time)).toUtf8());
    }

    // ISP link type: LAN.
    Click(On<QRadioButton>(kPageIspLink, IspLinkPage::kLanRadio));
    Click(Page(kPageIspLink)->NextButton());
    QVERIFY(At(kPageLanAddress));

    // LAN IP: fixed addresses; "Yes" to the wireless question.
    Click(On<QRadioButton>(kPageLanAddress, LanAddressPage::kFixedRadio));
    const char* addresses[] = {"10.97.0.10", "255.255.255.0", "10.97.0.254", "10.97.0.53", "10.97.0.54"};
    for (int i = 0; i < 5; ++i)
        On<Ipv4AddressEdit>(kPageLanAddress, LanAddressPage::kAddress + i)->SetFromRecordText(addresses[i]);
    fx_->prompter.Answer(PromptAnswer::Yes);
    Click(Page(kPageLanAddress)->NextButton());
    QVERIFY(At(kPageWirelessNetwork));
    QCOMPARE(S().IPType, uint8_t{1});
    QCOMPARE(S().LinkWireless, uint8_t{1});

    // Wireless AP: infrastructure, WPA2-PSK with AES.
    Type(On<QLineEdit>(kPageWirelessNetwork, WirelessNetworkPage::kSsid), QStringLiteral("Lab Net"));
    Choose(On<QComboBox>(kPageWirelessNetwork, WirelessNetworkPage::kMode), 1);
    Choose(On<QComboBox>(kPageWirelessNetwork, WirelessNetworkPage::kSecurity), 3);
    Choose(On<QComboBox>(kPageWirelessNetwork, WirelessNetworkPage::kWpaAlgorithm), 0);
    Type(On<QLineEdit>(kPageWirelessNetwork, WirelessNetworkPage::kWpaKey), QStringLiteral("wpa key&=12345"));
    Click(Page(kPageWirelessNetwork)->NextButton());
    QVERIFY(At(kPageWirelessAddress));

    // Wireless IP: DHCP.
    Click(On<QRadioButton>(kPageWirelessAddress, WirelessAddressPage::kDhcpRadio));
    Click(Page(kPageWirelessAddress)->NextButton());
    QVERIFY(At(kPageUpnpPorts));

    // UPnP off, other stream ports.
    On<QCheckBox>(kPageUpnpPorts, UpnpPortsPage::kUpnpCheck)->setChecked(false);
    On<QLineEdit>(kPageUpnpPorts, UpnpPortsPage::kHttpPort)->setText(QStringLiteral("80"));
    On<QLineEdit>(kPageUpnpPorts, UpnpPortsPage::kStreamPort)->setText(QStringLiteral("8000"));
    On<QLineEdit>(kPageUpnpPorts, UpnpPortsPage::kRtspPort)->setText(QStringLiteral("8554"));
    Click(Page(kPageUpnpPorts)->NextButton());
    QVERIFY(At(kPageDynamicDns));

    // DDNS on.
    Click(On<QCheckBox>(kPageDynamicDns, DdnsPage::kEnableCheck));
    On<QLineEdit>(kPageDynamicDns, DdnsPage::kHost)->setText(QStringLiteral("labcam.example"));
    On<QLineEdit>(kPageDynamicDns, DdnsPage::kUser)->setText(QStringLiteral("ddns-user"));
    On<QLineEdit>(kPageDynamicDns, DdnsPage::kPassword)->setText(QStringLiteral("ddns-pw"));
    QVERIFY(ConfirmAndSave(PromptAnswer::Ok));
    // Saved with the wireless link chosen on a camera with wireless.
    QCOMPARE(fx_->prompter.Prompts().back().text, QString::fromStdString(Window().Messages().savedWireless));
}

void ManualFlow::pppoeOnTheIspPage() {
    QVERIFY(SearchAndRead(qEnvironmentVariable("ORVANTA_TEST_MANUAL_PPPOE")));

    // System page: NTP in another zone, every six hours.
    Click(On<QRadioButton>(kPageSystem, SystemPage::kAutomaticRadio));
    Type(On<QLineEdit>(kPageSystem, SystemPage::kNtpServer), QStringLiteral("ntp.lab.example"));
    On<QComboBox>(kPageSystem, SystemPage::kTimeZone)->setCurrentIndex(13);
    On<QComboBox>(kPageSystem, SystemPage::kInterval)->setCurrentIndex(6);
    Click(Page(kPageSystem)->NextButton());
    QVERIFY(At(kPageIspLink));

    // ISP link type: PPPoE with the password typed twice.
    Click(On<QRadioButton>(kPageIspLink, IspLinkPage::kPppoeRadio));
    Type(On<QLineEdit>(kPageIspLink, IspLinkPage::kUser), QStringLiteral("dsl user"));
    Type(On<QLineEdit>(kPageIspLink, IspLinkPage::kPassword), QStringLiteral("Dsl&Pw=1"));
    Type(On<QLineEdit>(kPageIspLink, IspLinkPage::kConfirm), QStringLiteral("Dsl&Pw=1"));
    Click(Page(kPageIspLink)->NextButton());
    QVERIFY(At(kPageUpnpPorts));
    Click(Page(kPageUpnpPorts)->NextButton());
    QVERIFY(At(kPageDynamicDns));
    QVERIFY(ConfirmAndSave(PromptAnswer::Ok));
    QCOMPARE(fx_->prompter.Prompts().back().text, QString::fromStdString(Window().Messages().saved));
}

QTEST_MAIN(ManualFlow)
#include "manual_flow_guiprog.moc"

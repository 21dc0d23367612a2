// The guided wireless paths of the real wizard, offscreen, from the PC
// namespace of the lab against simulated cameras: a new environment set up
// for a wireless link by picking a network from the camera's own scan
// (camera ORVANTA_TEST_WLAN_SCAN), by push-button WPS (ORVANTA_TEST_WLAN_WPS,
// a camera that joins on the first status query, and ORVANTA_TEST_WLAN_NOWPS,
// one that never acknowledges), and a camera whose scan finds nothing and
// whose web port then stops answering a rescan (ORVANTA_TEST_WLAN_EMPTY).
// The script checks what the cameras received.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "core/settings/FixedField.h"
#include "gui/pages/AccessPointScanPage.h"
#include "gui/pages/QuickAddressPage.h"
#include "gui/pages/SetupChoicePage.h"
#include "gui/pages/StartPage.h"
#include "gui/pages/OptionPage.h"
#include "gui/pages/SummaryPage.h"
#include "gui/pages/WpsPage.h"
#include "LabFlowSupport.h"
#include "gui/framework/PageIndex.h"

using namespace orvanta;
using namespace orvanta::testing;

class WirelessFlow : public LabFlow {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void pickANetworkFromTheScan();
    void joinByWps();
    void wpsNeverAcknowledged();
    void emptyScanThenFailedRescan();

private:
    bool ToQuickIpPage(const QString& cameraIp);
    bool SaveAndRefind();
};

void WirelessFlow::init() { StartWizard("10.96.0.1", 20); }

void WirelessFlow::cleanup() { CloseWizard(); }

// "Setup Camera", Yes with Wireless, the diagram, a search, the camera
// selected and read, the wizard chosen: the quick IP page with DHCP.
bool WirelessFlow::ToQuickIpPage(const QString& cameraIp) {
    if (cameraIp.isEmpty()) {
        qWarning("no camera address given");
        return false;
    }
    On<QAbstractButton>(kPageStart, StartPage::kSetupButton)->click();
    if (!At(kPageSetupChoice)) return false;
    On<QRadioButton>(kPageSetupChoice, SetupChoicePage::kYesRadio)->click();
    On<QRadioButton>(kPageSetupChoice, SetupChoicePage::kWirelessRadio)->click();
    Page(kPageSetupChoice)->NextButton()->click();
    if (!At(kPageDiagram)) return false;
    Page(kPageDiagram)->NextButton()->click();
    if (!At(kPageSearch)) return false;
    QTreeWidgetItem* row = SearchFor(cameraIp);
    if (!row) return false;
    row->setSelected(true);
    Page(kPageSearch)->NextButton()->click();
    // A new environment goes from the read to the option page.
    if (!At(kPageOption)) return false;
    if (S().Loaded != 1 || S().HasWireless != 1) return false;
    On<QRadioButton>(kPageOption, OptionPage::kWizardRadio)->click();
    Page(kPageOption)->NextButton()->click();
    if (!At(kPageQuickAddress)) return false;
    On<QRadioButton>(kPageQuickAddress, QuickAddressPage::kDhcpRadio)->click();
    return true;
}

// UPnP and DDNS as they are, the summary's "Setup the Camera", the save and
// the search for the camera afterwards: the setup finished page.
bool WirelessFlow::SaveAndRefind() {
    Page(kPageUpnpPorts)->NextButton()->click();
    if (!At(kPageDynamicDns)) return false;
    Page(kPageDynamicDns)->NextButton()->click();
    if (!At(kPageSummary)) return false;
    fx_->prompter.Answer(PromptAnswer::Ok);  // set the camera up now?
    fx_->prompter.Answer(PromptAnswer::Ok);  // saved
    fx_->prompter.Answer(PromptAnswer::Ok);  // found again
    Page(kPageSummary)->Control<QAbstractButton>(SummaryPage::kSave)->click();
    return At(kPageSetupFinished);
}

void WirelessFlow::pickANetworkFromTheScan() {
    QVERIFY(ToQuickIpPage(qEnvironmentVariable("ORVANTA_TEST_WLAN_SCAN")));
    fx_->prompter.Answer(PromptAnswer::No);  // WPS? no: pick from the scan
    Page(kPageQuickAddress)->NextButton()->click();
    QVERIFY(At(kPageAccessPointScan));
    QCOMPARE(S().UseWPS, uint8_t{0});

    // The read task's scan: two networks, the second one WPA2-PSK.
    auto* aps = On<QComboBox>(kPageAccessPointScan, AccessPointScanPage::kAccessPoint);
    QCOMPARE(aps->count(), 2);
    aps->setCurrentIndex(1);
    QCOMPARE(On<QLineEdit>(kPageAccessPointScan, AccessPointScanPage::kSsid)->text(), QStringLiteral("Office Net"));
    QCOMPARE(On<QLineEdit>(kPageAccessPointScan, AccessPointScanPage::kSecurity)->text(), QStringLiteral("WPA2-PSK"));
    QVERIFY(On<QLineEdit>(kPageAccessPointScan, AccessPointScanPage::kWpaKey)->isEnabled());
    On<QLineEdit>(kPageAccessPointScan, AccessPointScanPage::kWpaKey)->setText(QStringLiteral("office key&=1"));
    Page(kPageAccessPointScan)->NextButton()->click();
    QVERIFY(At(kPageUpnpPorts));
    QCOMPARE(S().WireSec, uint8_t{3});
    QVERIFY(SaveAndRefind());
    // The wireless save message, then the found-again message.
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{4});
    QCOMPARE(fx_->prompter.Prompts()[2].text, QString::fromStdString(Window().Messages().savedWireless));
}

void WirelessFlow::joinByWps() {
    QVERIFY(ToQuickIpPage(qEnvironmentVariable("ORVANTA_TEST_WLAN_WPS")));
    fx_->prompter.Answer(PromptAnswer::Yes);  // WPS? yes
    Page(kPageQuickAddress)->NextButton()->click();
    QVERIFY(At(kPageWpsPicture));
    QCOMPARE(S().UseWPS, uint8_t{1});
    fx_->prompter.Answer(PromptAnswer::Ok);  // joined
    Page(kPageWpsPicture)->NextButton()->click();
    QVERIFY(At(kPageWps));
    auto* wps = static_cast<WpsPage*>(Page(kPageWps));
    QVERIFY(WaitFor([&] { return !wps->Running(); }));
    QCOMPARE(fx_->prompter.Prompts().back().text, wps->Kept("Message3"));
    QVERIFY(wps->NextButton()->isEnabled());
    wps->NextButton()->click();
    QVERIFY(At(kPageUpnpPorts));
    QVERIFY(SaveAndRefind());
}

void WirelessFlow::wpsNeverAcknowledged() {
    QVERIFY(ToQuickIpPage(qEnvironmentVariable("ORVANTA_TEST_WLAN_NOWPS")));
    fx_->prompter.Answer(PromptAnswer::Yes);  // WPS? yes
    Page(kPageQuickAddress)->NextButton()->click();
    QVERIFY(At(kPageWpsPicture));
    fx_->prompter.Answer(PromptAnswer::Ok);  // failed
    Page(kPageWpsPicture)->NextButton()->click();
    QVERIFY(At(kPageWps));
    auto* wps = static_cast<WpsPage*>(Page(kPageWps));
    QVERIFY(WaitFor([&] { return !wps->Running(); }));
    // Thirty ticks, then the failure; Next stays off, Back and Start are on.
    QCOMPARE(wps->Counter(), 1200);
    QCOMPARE(fx_->prompter.Prompts().back().text, wps->Kept("Message2"));
    QVERIFY(!wps->NextButton()->isEnabled());
    QVERIFY(wps->BackButton()->isEnabled());
    QVERIFY(wps->Control(WpsPage::kStart)->isEnabled());
}

void WirelessFlow::emptyScanThenFailedRescan() {
    QVERIFY(ToQuickIpPage(qEnvironmentVariable("ORVANTA_TEST_WLAN_EMPTY")));
    QCOMPARE(S().APScanOK, uint8_t{1});
    QCOMPARE(S().APCount, 0u);
    // From here on the camera's web port is dead: a port where nothing
    // listens in its namespace.
    SetField(S().CamPort, "81");
    fx_->prompter.Answer(PromptAnswer::No);   // WPS? no
    fx_->prompter.Answer(PromptAnswer::Yes);  // no network found: scan again?
    fx_->prompter.Answer(PromptAnswer::Ok);   // the rescan failed
    Page(kPageQuickAddress)->NextButton()->click();
    QVERIFY(WaitFor([&] { return fx_->prompter.Prompts().size() == 3; }));
    QCOMPARE(fx_->prompter.Prompts()[1].text, Page(kPageAccessPointScan)->Kept("Message1"));
    QCOMPARE(fx_->prompter.Prompts()[2].text, QString::fromStdString(Window().Messages().noAnswer));
    QCOMPARE(fx_->prompter.Prompts()[2].icon, PromptIcon::Warning);
    // The failed rescan leaves the scan page, usable again, once its
    // message is answered.
    QVERIFY(WaitFor([&] { return Window().isEnabled() && Window().Pages().CurrentIndex() == kPageAccessPointScan; }));
    QCOMPARE(S().APScanOK, uint8_t{0});
}

QTEST_MAIN(WirelessFlow)
#include "wireless_flow_guiprog.moc"

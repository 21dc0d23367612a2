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
#include "gui/pages/CSubAPScan.h"
#include "gui/pages/CSubWizardIP.h"
#include "gui/pages/CSubChoose.h"
#include "gui/pages/CSubFirst.h"
#include "gui/pages/CSubOption.h"
#include "gui/pages/CSubSetAutoParam.h"
#include "gui/pages/CSubWPS.h"
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
    On<QAbstractButton>(kPageFirst, CSubFirst::kSetupButton)->click();
    if (!At(kPageChoose)) return false;
    On<QRadioButton>(kPageChoose, CSubChoose::kYesRadio)->click();
    On<QRadioButton>(kPageChoose, CSubChoose::kWirelessRadio)->click();
    Page(kPageChoose)->NextButton()->click();
    if (!At(kPageShowPic)) return false;
    Page(kPageShowPic)->NextButton()->click();
    if (!At(kPageSearchNet)) return false;
    QTreeWidgetItem* row = SearchFor(cameraIp);
    if (!row) return false;
    row->setSelected(true);
    Page(kPageSearchNet)->NextButton()->click();
    // A new environment goes from the read to the option page.
    if (!At(kPageOption)) return false;
    if (S().Loaded != 1 || S().HasWireless != 1) return false;
    On<QRadioButton>(kPageOption, CSubOption::kWizardRadio)->click();
    Page(kPageOption)->NextButton()->click();
    if (!At(kPageWizardIP)) return false;
    On<QRadioButton>(kPageWizardIP, CSubWizardIP::kDhcpRadio)->click();
    return true;
}

// UPnP and DDNS as they are, the summary's "Setup the Camera", the save and
// the search for the camera afterwards: the setup finished page.
bool WirelessFlow::SaveAndRefind() {
    Page(kPageUPnP)->NextButton()->click();
    if (!At(kPageDDNS)) return false;
    Page(kPageDDNS)->NextButton()->click();
    if (!At(kPageSetAutoParam)) return false;
    fx_->prompter.Answer(PromptAnswer::Ok);  // set the camera up now?
    fx_->prompter.Answer(PromptAnswer::Ok);  // saved
    fx_->prompter.Answer(PromptAnswer::Ok);  // found again
    Page(kPageSetAutoParam)->Control<QAbstractButton>(CSubSetAutoParam::kSave)->click();
    return At(kPageSetupFinish);
}

void WirelessFlow::pickANetworkFromTheScan() {
    QVERIFY(ToQuickIpPage(qEnvironmentVariable("ORVANTA_TEST_WLAN_SCAN")));
    fx_->prompter.Answer(PromptAnswer::No);  // WPS? no: pick from the scan
    Page(kPageWizardIP)->NextButton()->click();
    QVERIFY(At(kPageAPScan));
    QCOMPARE(S().UseWPS, uint8_t{0});

    // The read task's scan: two networks, the second one WPA2-PSK.
    auto* aps = On<QComboBox>(kPageAPScan, CSubAPScan::kAccessPoint);
    QCOMPARE(aps->count(), 2);
    aps->setCurrentIndex(1);
    QCOMPARE(On<QLineEdit>(kPageAPScan, CSubAPScan::kSsid)->text(), QStringLiteral("Office Net"));
    QCOMPARE(On<QLineEdit>(kPageAPScan, CSubAPScan::kSecurity)->text(), QStringLiteral("WPA2-PSK"));
    QVERIFY(On<QLineEdit>(kPageAPScan, CSubAPScan::kWpaKey)->isEnabled());
    On<QLineEdit>(kPageAPScan, CSubAPScan::kWpaKey)->setText(QStringLiteral("office key&=1"));
    Page(kPageAPScan)->NextButton()->click();
    QVERIFY(At(kPageUPnP));
    QCOMPARE(S().WireSec, uint8_t{3});
    QVERIFY(SaveAndRefind());
    // The wireless save message, then the found-again message.
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{4});
    QCOMPARE(fx_->prompter.Prompts()[2].text, QString::fromStdString(Dlg().Messages().Message[3]));
}

void WirelessFlow::joinByWps() {
    QVERIFY(ToQuickIpPage(qEnvironmentVariable("ORVANTA_TEST_WLAN_WPS")));
    fx_->prompter.Answer(PromptAnswer::Yes);  // WPS? yes
    Page(kPageWizardIP)->NextButton()->click();
    QVERIFY(At(kPageWPSPic));
    QCOMPARE(S().UseWPS, uint8_t{1});
    fx_->prompter.Answer(PromptAnswer::Ok);  // joined
    Page(kPageWPSPic)->NextButton()->click();
    QVERIFY(At(kPageWPS));
    auto* wps = static_cast<CSubWPS*>(Page(kPageWPS));
    QVERIFY(WaitFor([&] { return !wps->Running(); }));
    QCOMPARE(fx_->prompter.Prompts().back().text, wps->Kept("Message3"));
    QVERIFY(wps->NextButton()->isEnabled());
    wps->NextButton()->click();
    QVERIFY(At(kPageUPnP));
    QVERIFY(SaveAndRefind());
}

void WirelessFlow::wpsNeverAcknowledged() {
    QVERIFY(ToQuickIpPage(qEnvironmentVariable("ORVANTA_TEST_WLAN_NOWPS")));
    fx_->prompter.Answer(PromptAnswer::Yes);  // WPS? yes
    Page(kPageWizardIP)->NextButton()->click();
    QVERIFY(At(kPageWPSPic));
    fx_->prompter.Answer(PromptAnswer::Ok);  // failed
    Page(kPageWPSPic)->NextButton()->click();
    QVERIFY(At(kPageWPS));
    auto* wps = static_cast<CSubWPS*>(Page(kPageWPS));
    QVERIFY(WaitFor([&] { return !wps->Running(); }));
    // Thirty ticks, then the failure; Next stays off, Back and Start are on.
    QCOMPARE(wps->Counter(), 1200);
    QCOMPARE(fx_->prompter.Prompts().back().text, wps->Kept("Message2"));
    QVERIFY(!wps->NextButton()->isEnabled());
    QVERIFY(wps->BackButton()->isEnabled());
    QVERIFY(wps->Control(CSubWPS::kStart)->isEnabled());
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
    Page(kPageWizardIP)->NextButton()->click();
    QVERIFY(WaitFor([&] { return fx_->prompter.Prompts().size() == 3; }));
    QCOMPARE(fx_->prompter.Prompts()[1].text, Page(kPageAPScan)->Kept("Message1"));
    QCOMPARE(fx_->prompter.Prompts()[2].text, QString::fromStdString(Dlg().Messages().Message[2]));
    QCOMPARE(fx_->prompter.Prompts()[2].icon, PromptIcon::Exclamation);
    // The failed rescan leaves the scan page, usable again, once its
    // message is answered.
    QVERIFY(WaitFor([&] { return Dlg().isEnabled() && Dlg().Pages().CurrentIndex() == kPageAPScan; }));
    QCOMPARE(S().APScanOK, uint8_t{0});
}

QTEST_MAIN(WirelessFlow)
#include "wireless_flow_guiprog.moc"

// The pages of the guided setup driven through their controls: the choice
// page's radio matrix, the option page, the quick IP page's proposals and
// mask rule, the UPnP port checks, the DDNS provider list, the summary texts
// and the setup finished page. Commands a page posts are caught before the
// main window runs them, so no test leaves its page.
#include <arpa/inet.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include "core/settings/FixedField.h"
#include "gui/framework/KeptCameraResults.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/pages/SetupChoicePage.h"
#include "gui/pages/DdnsPage.h"
#include "gui/pages/OptionPage.h"
#include "gui/pages/SummaryPage.h"
#include "gui/pages/SetupFinishedPage.h"
#include "gui/pages/UpnpPortsPage.h"
#include "gui/pages/QuickAddressPage.h"
#include "gui/framework/WizardPage.h"
#include "support/SettingsPresets.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;
using hostnet::Ip;

namespace {

// Swallows the commands pages post and keeps them.
class CommandCatcher : public QObject {
public:
    std::vector<WizardCommand> commands;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != WizardCommandEvent::EventType()) return false;
        commands.push_back(static_cast<WizardCommandEvent*>(e)->Command());
        return true;
    }
};

const char* kLanguage =
    "[SystemPage]\nHostname=\"Name: \"\nDescription=\"Desc: \"\n"
    "[PPPoEPage]\nUserID=User\nPassword=Pwd\n"
    "[WizardIPPage]\nRadioDHCP=DHCP\nRadioFixIP=Fixed\nSubmask=Mask\nGateway=GW\ndns=DNS\n"
    "Message1=in use\nMessage2=free\nMessage3=use WPS?\n"
    "[ApscanPage]\nSSID=SSID\nSecurity=Sec\n"
    "[UPnPPage]\nHttpPort=HTTP\nStreamPort=Stream\nRTSP=RTSP\n"
    "Message1=U1\nMessage2=U2\nMessage3=U3\nMessage4=U4\nMessage5=U5\nMessage6=U6\n"
    "[DDNSPage]\nProvider=Prov\nHostname=Host\nUsername=User\nMessage1=save now?\n"
    "[SetAutoParamPage]\nMessage1=write?\nUSEWPS=by WPS\nWPSSucces=joined\nWPSFailed=not joined\n"
    "NotUseWireless=wired\nNotSupposeWireless=no wireless\nEnUPnP=UPnP on\nDisUPnP=UPnP off\n"
    "EnDDNS=DDNS on\nDisDDNS=DDNS off\n";

}  // namespace

class GuidedPagesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void choiceMatrix_data();
    void choiceMatrix();
    void choiceNoThenYes();
    void choiceNextSetsLinkFlags();
    void optionPageWithoutLoadedCamera();
    void optionPageWizardSetsClock();
    void quickIpFill_data();
    void quickIpFill();
    void quickIpDefaultMask_data();
    void quickIpDefaultMask();
    void quickIpTestAndNext();
    void upnpPortChecks_data();
    void upnpPortChecks();
    void ddnsProviderSelection();
    void ddnsManualModeAsksFirst();
    void summaryTexts_data();
    void summaryTexts();
    void setupFinishedPage();

private:
    template <class T = WizardPage>
    T* Page(int index) {
        return static_cast<T*>(fx_->Window().Page(index));
    }
    QRadioButton* Radio(int page, int id) { return Page(page)->Control<QRadioButton>(id); }
    Ipv4AddressEdit* Address(int id) { return Page(kPageQuickAddress)->Control<Ipv4AddressEdit>(id); }
    std::vector<WizardCommand> Posted() {
        QCoreApplication::sendPostedEvents(&fx_->Window(), 0);
        auto commands = catcher_.commands;
        catcher_.commands.clear();
        return commands;
    }

    std::unique_ptr<WizardFixture> fx_;
    CommandCatcher catcher_;
};

void GuidedPagesTest::init() {
    fx_ = std::make_unique<WizardFixture>();
    fx_->StartWithLanguage(QString::fromLatin1(kLanguage));
    fx_->Window().installEventFilter(&catcher_);
    catcher_.commands.clear();
}

void GuidedPagesTest::cleanup() {
    QVERIFY(!fx_->prompter.HadUnexpected());
    fx_.reset();
}

void GuidedPagesTest::choiceMatrix_data() {
    QTest::addColumn<int>("adapter");
    QTest::addColumn<int>("dialUp");
    QTest::addColumn<QString>("checked");  // L W P, '1' checked
    QTest::addColumn<QString>("enabled");
    // Both links: PPPoE suggested, wireless impossible.
    QTest::newRow("adapter+dialup") << 1 << 0 + 1 << "001" << "101";
    // Dial-up only: only PPPoE is possible.
    QTest::newRow("dialup only") << 0 << 1 << "001" << "001";
    // A LAN or wireless adapter only: PPPoE impossible.
    QTest::newRow("adapter only") << 1 << 0 << "100" << "110";
    // Nothing found: LAN suggested, nothing ruled out.
    QTest::newRow("nothing") << 0 << 0 << "100" << "111";
}

void GuidedPagesTest::choiceMatrix() {
    QFETCH(int, adapter);
    QFETCH(int, dialUp);
    QFETCH(QString, checked);
    QFETCH(QString, enabled);
    fx_->Settings().HostAdapterFound = static_cast<uint8_t>(adapter);
    fx_->Settings().HostDialUp = static_cast<uint8_t>(dialUp);
    Page(kPageSetupChoice)->LoadFromSettings();
    const int ids[3] = {SetupChoicePage::kLanRadio, SetupChoicePage::kWirelessRadio, SetupChoicePage::kPppoeRadio};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(Radio(kPageSetupChoice, ids[i])->isChecked(), checked[i] == '1');
        QCOMPARE(Radio(kPageSetupChoice, ids[i])->isEnabled(), enabled[i] == '1');
    }
    QVERIFY(Radio(kPageSetupChoice, SetupChoicePage::kYesRadio)->isChecked());  // Yes from the start
}

void GuidedPagesTest::choiceNoThenYes() {
    fx_->Settings().HostAdapterFound = 0;
    fx_->Settings().HostDialUp = 1;
    Page(kPageSetupChoice)->LoadFromSettings();
    Radio(kPageSetupChoice, SetupChoicePage::kNoRadio)->click();
    for (int id : {SetupChoicePage::kLanRadio, SetupChoicePage::kWirelessRadio, SetupChoicePage::kPppoeRadio})
        QVERIFY(!Radio(kPageSetupChoice, id)->isEnabled());
    Radio(kPageSetupChoice, SetupChoicePage::kYesRadio)->click();
    // "Yes" re-enables all three and, on a dial-up-only PC, suggests LAN.
    for (int id : {SetupChoicePage::kLanRadio, SetupChoicePage::kWirelessRadio, SetupChoicePage::kPppoeRadio})
        QVERIFY(Radio(kPageSetupChoice, id)->isEnabled());
    QVERIFY(Radio(kPageSetupChoice, SetupChoicePage::kLanRadio)->isChecked());
    QVERIFY(!Radio(kPageSetupChoice, SetupChoicePage::kPppoeRadio)->isChecked());

    // With an adapter, a wireless link chosen before is suggested again.
    fx_->Settings().HostAdapterFound = 1;
    fx_->Settings().HostDialUp = 0;
    fx_->Settings().LinkWireless = 1;
    Radio(kPageSetupChoice, SetupChoicePage::kYesRadio)->click();
    QVERIFY(Radio(kPageSetupChoice, SetupChoicePage::kWirelessRadio)->isChecked());
    QVERIFY(!Radio(kPageSetupChoice, SetupChoicePage::kPppoeRadio)->isEnabled());
}

void GuidedPagesTest::choiceNextSetsLinkFlags() {
    CameraSettings& s = fx_->Settings();
    s.HostAdapterFound = 0;
    s.HostDialUp = 0;
    Page(kPageSetupChoice)->LoadFromSettings();
    Radio(kPageSetupChoice, SetupChoicePage::kWirelessRadio)->click();
    Page(kPageSetupChoice)->NextButton()->click();
    QCOMPARE(s.LinkWireless, uint8_t{1});
    QCOMPARE(s.NewEnvironment, uint8_t{1});
    // PPPoE after wireless leaves the wireless flag set.
    Radio(kPageSetupChoice, SetupChoicePage::kPppoeRadio)->click();
    Page(kPageSetupChoice)->NextButton()->click();
    QCOMPARE(s.LinkPPPoE, uint8_t{1});
    QCOMPARE(s.LinkWireless, uint8_t{1});
    // "No" means an installed camera: manual setup through the search.
    Radio(kPageSetupChoice, SetupChoicePage::kNoRadio)->click();
    Page(kPageSetupChoice)->NextButton()->click();
    QCOMPARE(s.NewEnvironment, uint8_t{0});
    QCOMPARE(s.WizardMode, uint8_t{0});
    QCOMPARE(Posted(), (std::vector<WizardCommand>{WizardCommand::ShowDiagramPage, WizardCommand::ShowDiagramPage, WizardCommand::ShowSearchPage}));
}

void GuidedPagesTest::optionPageWithoutLoadedCamera() {
    CameraSettings& s = fx_->Settings();
    s.Loaded = 0;
    s.WizardMode = 1;
    Page(kPageOption)->LoadFromSettings();
    QCOMPARE(s.WizardMode, uint8_t{0});
    QVERIFY(!Radio(kPageOption, OptionPage::kWizardRadio)->isChecked());
    QVERIFY(!Radio(kPageOption, OptionPage::kWizardRadio)->isEnabled());
    QVERIFY(Radio(kPageOption, OptionPage::kManualRadio)->isChecked());
    QVERIFY(!Page(kPageOption)->Control(OptionPage::kWizardNote)->isEnabled());
    Page(kPageOption)->NextButton()->click();
    QCOMPARE(Posted(), std::vector<WizardCommand>{WizardCommand::ShowSystemPage});
}

void GuidedPagesTest::optionPageWizardSetsClock() {
    CameraSettings& s = fx_->Settings();
    s.Loaded = 1;
    s.LinkPPPoE = 0;
    Page(kPageOption)->LoadFromSettings();
    QVERIFY(Radio(kPageOption, OptionPage::kWizardRadio)->isChecked());
    Page(kPageOption)->NextButton()->click();
    const QRegularExpression date(QStringLiteral("^\\d{4}/\\d{2}/\\d{2}$"));
    const QRegularExpression time(QStringLiteral("^\\d{2}:\\d{2}:\\d{2}$"));
    QVERIFY(date.match(QString::fromLatin1(s.Date)).hasMatch());
    QVERIFY(time.match(QString::fromLatin1(s.Time)).hasMatch());
    s.LinkPPPoE = 1;
    Page(kPageOption)->NextButton()->click();
    QCOMPARE(Posted(), (std::vector<WizardCommand>{WizardCommand::ShowQuickAddressPage, WizardCommand::ShowPppoePage}));
}

void GuidedPagesTest::quickIpFill_data() {
    QTest::addColumn<int>("dhcp");
    QTest::addColumn<int>("noAddress");
    QTest::addColumn<bool>("proposal");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<QString>("dns");
    QTest::addColumn<bool>("fixedChecked");
    QTest::addColumn<int>("ipType");
    // PC on DHCP: DHCP chosen, the proposal filled in but greyed; the PC's
    // own values fill the rest (and IPType is 1 until Next).
    QTest::newRow("pc dhcp") << 1 << 0 << true << "192.168.1.77" << "255.255.255.0" << "192.168.1.1" << "192.168.1.2"
                             << false << 1;
    // PC without an address: the camera's own, gateway .1 of its subnet.
    QTest::newRow("pc without address") << 0 << 1 << true << "10.1.2.3" << "255.0.0.0" << "10.0.0.1" << "0.0.0.0"
                                        << true << 0;
    // No proposal handed over: 0.0.0.0.
    QTest::newRow("no proposal") << 0 << 0 << false << "0.0.0.0" << "255.255.255.0" << "192.168.1.1" << "192.168.1.2"
                                 << true << 1;
}

void GuidedPagesTest::quickIpFill() {
    QFETCH(int, dhcp);
    QFETCH(int, noAddress);
    QFETCH(bool, proposal);
    QFETCH(QString, address);
    QFETCH(QString, mask);
    QFETCH(QString, gateway);
    QFETCH(QString, dns);
    QFETCH(bool, fixedChecked);
    QFETCH(int, ipType);
    CameraSettings& s = fx_->Settings();
    PcOnFixedWire(s);
    SelectedCamera(s, "10.1.2.3", "255.0.0.0");
    s.HostDHCP = static_cast<uint8_t>(dhcp);
    s.HostNoAddress = static_cast<uint8_t>(noAddress);
    s.IPType = 0;
    KeptCameraResults* kept = fx_->Window().Context().kept;
    QVERIFY(kept != nullptr);
    if (proposal) kept->proposal = Ipv4Address::FromNetworkOrder(Ip("192.168.1.77"));
    Page(kPageQuickAddress)->LoadFromSettings();
    QCOMPARE(Address(QuickAddressPage::kAddress)->RecordText(), address);
    QCOMPARE(Address(QuickAddressPage::kMask)->RecordText(), mask);
    QCOMPARE(Address(QuickAddressPage::kGateway)->RecordText(), gateway);
    QCOMPARE(Address(QuickAddressPage::kDns)->RecordText(), dns);
    QCOMPARE(Radio(kPageQuickAddress, QuickAddressPage::kFixedRadio)->isChecked(), fixedChecked);
    QCOMPARE(Radio(kPageQuickAddress, QuickAddressPage::kDhcpRadio)->isChecked(), !fixedChecked);
    QCOMPARE(Address(QuickAddressPage::kAddress)->isEnabled(), fixedChecked);
    QCOMPARE(int(s.IPType), ipType);
}

void GuidedPagesTest::quickIpDefaultMask_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("mask");
    QTest::newRow("class B") << "172.16.0.10" << "255.255.0.0";
    QTest::newRow("class C") << "192.168.0.10" << "255.255.255.0";
    QTest::newRow("class A untouched") << "10.0.0.10" << "255.255.255.128";
}

void GuidedPagesTest::quickIpDefaultMask() {
    QFETCH(QString, typed);
    QFETCH(QString, mask);
    Address(QuickAddressPage::kMask)->SetFromRecordText("255.255.255.128");
    Address(QuickAddressPage::kAddress)->SetFromRecordText(typed.toLatin1().constData());
    QCOMPARE(Address(QuickAddressPage::kMask)->RecordText(), mask);
}

void GuidedPagesTest::quickIpTestAndNext() {
    CameraSettings& s = fx_->Settings();
    WiredCameraInHostSubnet(s);
    Page(kPageQuickAddress)->LoadFromSettings();
    // The camera's own address needs no ARP.
    Address(QuickAddressPage::kAddress)->SetFromRecordText("192.168.1.20");
    fx_->prompter.Answer(PromptAnswer::Ok);
    Page(kPageQuickAddress)->Control<QPushButton>(QuickAddressPage::kTestButton)->click();
    QVERIFY(fx_->net.CallsOf("arp").empty());
    QCOMPARE(fx_->prompter.Prompts().back().text, QStringLiteral("free"));
    // An address another device answers for.
    fx_->net.arpOwners[Ip("192.168.1.30")] = {2, 0, 0, 0, 0, 9};
    Address(QuickAddressPage::kAddress)->SetFromRecordText("192.168.1.30");
    fx_->prompter.Answer(PromptAnswer::Ok);
    Page(kPageQuickAddress)->Control<QPushButton>(QuickAddressPage::kTestButton)->click();
    QCOMPARE(fx_->net.CallsOf("arp"), std::vector<std::string>{"arp 192.168.1.30 from 192.168.1.10"});
    QCOMPARE(fx_->prompter.Prompts().back().text, QStringLiteral("in use"));
    QCOMPARE(fx_->prompter.Prompts().back().icon, PromptIcon::Critical);
    QCOMPARE(fx_->prompter.Prompts().back().caption, QString());

    // Fixed mode over the camera's wireless link writes the wireless group.
    WirelessCameraLinked(s);
    s.HasWPS = 1;
    SetField(s.IPAddr, "keep");
    fx_->prompter.Answer(PromptAnswer::Yes);
    Page(kPageQuickAddress)->NextButton()->click();
    QCOMPARE(s.WIPType, uint8_t{1});
    QCOMPARE(FieldText(s.WIPAddr), std::string_view("192.168.1.30"));
    QCOMPARE(FieldText(s.IPAddr), std::string_view("keep"));
    QCOMPARE(s.UseWPS, uint8_t{1});
    QCOMPARE(fx_->prompter.Prompts().back().buttons, PromptButtons::YesNo);
    // A wired camera goes straight on to UPnP with the wired group written.
    s.HasWireless = 0;
    Page(kPageQuickAddress)->NextButton()->click();
    QCOMPARE(FieldText(s.IPAddr), std::string_view("192.168.1.30"));
    QCOMPARE(Posted(), (std::vector<WizardCommand>{WizardCommand::ShowWpsPicturePage, WizardCommand::ShowUpnpPortsPage}));
}

void GuidedPagesTest::upnpPortChecks_data() {
    QTest::addColumn<QString>("http");
    QTest::addColumn<QString>("stream");
    QTest::addColumn<QString>("rtsp");
    QTest::addColumn<QString>("message");  // "" = accepted
    QTest::addColumn<QString>("caption");
    QTest::newRow("the three special ports") << "80" << "54" << "554" << "" << "";
    QTest::newRow("http 1024 below range") << "1024" << "1026" << "1027" << "U1" << "";
    QTest::newRow("http 1025 lowest") << "1025" << "1026" << "1027" << "" << "";
    QTest::newRow("http 65535 highest") << "65535" << "1026" << "1027" << "" << "";
    QTest::newRow("http 65536 above") << "65536" << "1026" << "1027" << "U1" << "";
    QTest::newRow("negative is huge unsigned") << "-1" << "1026" << "1027" << "U1" << "";
    // Streaming's special value is 54, not 554.
    QTest::newRow("stream 554") << "80" << "554" << "1027" << "U2" << "Orvanta";
    QTest::newRow("rtsp 54") << "80" << "1026" << "54" << "U3" << "Orvanta";
    QTest::newRow("http equals stream") << "8080" << "8080" << "1027" << "U4" << "";
    QTest::newRow("http equals rtsp") << "8080" << "1026" << "8080" << "U5" << "";
    QTest::newRow("stream equals rtsp") << "8080" << "1026" << "1026" << "U6" << "";
}

void GuidedPagesTest::upnpPortChecks() {
    QFETCH(QString, http);
    QFETCH(QString, stream);
    QFETCH(QString, rtsp);
    QFETCH(QString, message);
    QFETCH(QString, caption);
    WizardPage* page = Page(kPageUpnpPorts);
    page->LoadFromSettings();
    page->Control<QCheckBox>(UpnpPortsPage::kUpnpCheck)->setChecked(true);
    page->Control<QLineEdit>(UpnpPortsPage::kHttpPort)->setText(http);
    page->Control<QLineEdit>(UpnpPortsPage::kStreamPort)->setText(stream);
    page->Control<QLineEdit>(UpnpPortsPage::kRtspPort)->setText(rtsp);
    if (!message.isEmpty()) fx_->prompter.Answer(PromptAnswer::Ok);
    page->NextButton()->click();
    // The switch and the numbers are stored even when a check refuses.
    QCOMPARE(fx_->Settings().UPnPE, uint8_t{1});
    QCOMPARE(fx_->Settings().HttpPort, int32_t(std::strtol(http.toLatin1().constData(), nullptr, 10)));
    if (message.isEmpty()) {
        QVERIFY(fx_->prompter.Prompts().empty());
        QCOMPARE(Posted(), std::vector<WizardCommand>{WizardCommand::ShowDdnsPage});
    } else {
        QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
        QCOMPARE(fx_->prompter.Prompts()[0].text, message);
        QCOMPARE(fx_->prompter.Prompts()[0].caption, caption);
        QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Critical);
        QVERIFY(Posted().empty());
    }
}

void GuidedPagesTest::ddnsProviderSelection() {
    CameraSettings& s = fx_->Settings();
    auto* page = Page<DdnsPage>(kPageDynamicDns);
    auto* box = page->Control<QComboBox>(DdnsPage::kProvider);
    SetField(s.ModelName, "Kestra-B2");
    SetField(s.DDNSSrv, "ZoneEdit");
    page->LoadFromSettings();
    QCOMPARE(box->count(), 8);
    QCOMPARE(box->currentText(), QStringLiteral("ZoneEdit"));
    // A model that only begins with an eight-provider name gets two, and the
    // label it had is not among them.
    SetField(s.ModelName, "Kestra-C3 Pro");
    page->LoadFromSettings();
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->currentIndex(), 0);
    s.WizardMode = 1;
    page->NextButton()->click();
    QCOMPARE(FieldText(s.DDNSSrv), std::string_view("members.dyndns.org:80"));
    // The second server code selects the second entry on any model.
    SetField(s.DDNSSrv, "custom.dyndns.org:80");
    page->LoadFromSettings();
    QCOMPARE(box->currentIndex(), 1);
    QCOMPARE(Posted(), std::vector<WizardCommand>{WizardCommand::ShowSummaryPage});
}

void GuidedPagesTest::ddnsManualModeAsksFirst() {
    CameraSettings& s = fx_->Settings();
    auto* page = Page<DdnsPage>(kPageDynamicDns);
    s.WizardMode = 0;
    s.DDNS = 1;
    page->LoadFromSettings();
    // Clearing the box greys the account but its texts are still stored.
    page->Control<QCheckBox>(DdnsPage::kEnableCheck)->click();
    QVERIFY(!page->Control(DdnsPage::kHost)->isEnabled());
    page->Control<QLineEdit>(DdnsPage::kHost)->setText(QStringLiteral("cam.example.org"));
    fx_->prompter.Answer(PromptAnswer::Cancel);
    page->NextButton()->click();
    QCOMPARE(s.DDNS, uint8_t{0});
    QCOMPARE(FieldText(s.DDNSHost), std::string_view("cam.example.org"));
    QVERIFY(Posted().empty());
    QCOMPARE(fx_->prompter.Prompts().back().text, QStringLiteral("save now?"));
    QCOMPARE(fx_->prompter.Prompts().back().buttons, PromptButtons::OkCancel);
    fx_->prompter.Answer(PromptAnswer::Ok);
    page->NextButton()->click();
    QCOMPARE(Posted(), std::vector<WizardCommand>{WizardCommand::SaveCamera});
}

void GuidedPagesTest::summaryTexts_data() {
    QTest::addColumn<int>("ipType");
    QTest::addColumn<QString>("network");
    // PPPoE lists the account and password on their own lines.
    QTest::newRow("pppoe") << 2 << "PPPoE:\nUser:\nacct\nPwd:\nsecret";
    // DHCP shows the PC's gateway, not the camera's.
    QTest::newRow("dhcp") << 0 << "DHCP\nGW:192.168.1.1";
    QTest::newRow("fixed") << 1 << "Fixed:10.0.0.5\nMask:255.0.0.0\nGW:10.0.0.1\nDNS:10.0.0.2";
}

void GuidedPagesTest::summaryTexts() {
    QFETCH(int, ipType);
    QFETCH(QString, network);
    CameraSettings& s = fx_->Settings();
    s.IPType = static_cast<uint8_t>(ipType);
    SetField(s.PAccount, "acct");
    SetField(s.PPwd, "secret");
    SetField(s.HostGateway, "192.168.1.1");
    SetField(s.IPAddr, "10.0.0.5");
    SetField(s.Netmask, "255.0.0.0");
    SetField(s.Gateway, "10.0.0.1");
    SetField(s.DNS1, "10.0.0.2");
    SetField(s.TitleBar, "<b>%1 door</b>");  // camera text stays plain, "%1" included
    SetField(s.Desp, "hall");
    WirelessCameraLinked(s);
    s.UseWPS = 1;
    s.WPSAck = 0;
    s.UPnPE = 0;
    s.HttpPort = 80;
    s.RTPPort = 54;
    s.RTSPPort = 554;
    s.DDNS = 1;
    SetField(s.DDNSSrv, "members.dyndns.org:80");
    SetField(s.DDNSHost, "cam.example.org");
    SetField(s.DDNSUser, "me");
    auto* page = Page<SummaryPage>(kPageSummary);
    page->LoadFromSettings();
    QCOMPARE(page->NetworkText(), network);
    QCOMPARE(page->SystemText(), QStringLiteral("Name: <b>%1 door</b>\nDesc: hall"));
    QCOMPARE(page->Control<QLabel>(SummaryPage::kSystemText)->textFormat(), Qt::PlainText);
    QCOMPARE(page->WirelessText(), QStringLiteral("by WPS\nnot joined"));
    QCOMPARE(page->UpnpText(), QStringLiteral("UPnP off\nHTTP:80\nStream:54\nRTSP:554"));
    QCOMPARE(page->DdnsText(), QStringLiteral("DDNS on\nProv:DynDNS Dynamic\nHost:cam.example.org\nUser:me\n"));
    QCOMPARE(page->Control<QLabel>(SummaryPage::kNetworkText)->text(), network);
    // A camera without wireless says so whatever was chosen.
    s.HasWireless = 0;
    s.DDNS = 0;
    page->LoadFromSettings();
    QCOMPARE(page->WirelessText(), QStringLiteral("no wireless"));
    QCOMPARE(page->DdnsText(), QStringLiteral("DDNS off"));
    // Cancel in the confirmation changes nothing.
    fx_->prompter.Answer(PromptAnswer::Cancel);
    page->findChild<QAbstractButton*>(QString::number(SummaryPage::kSave))->click();
    QVERIFY(Posted().empty());
}

void GuidedPagesTest::setupFinishedPage() {
    auto* page = Page<SetupFinishedPage>(kPageSetupFinished);
    discovery::DiscoveredCamera cam{};
    SetField(cam.IpText, "10.0.0.9");
    SetField(cam.PortText, "8080");
    SetField(cam.MacText, "00:0E:53:00:00:01");
    SetField(cam.DescInterface, "Hall/wireless");
    page->SetFoundCamera(cam);
    fx_->Settings().NATStat = 1;
    page->LoadFromSettings();
    QCOMPARE(page->Control<QLineEdit>(SetupFinishedPage::kAddress)->text(), QStringLiteral("http://10.0.0.9:8080"));
    QCOMPARE(page->Control<QLineEdit>(SetupFinishedPage::kInterface)->text(), QStringLiteral("wireless"));
    QCOMPARE(page->Control<QLabel>(SetupFinishedPage::kLinkState)->text(), QStringLiteral("Camera is linked  with Server"));
    // A text that begins with the word leaves the interface as it was.
    SetField(cam.DescInterface, "ethernet cam");
    page->SetFoundCamera(cam);
    fx_->Settings().NATStat = 2;
    page->LoadFromSettings();
    QCOMPARE(page->Control<QLineEdit>(SetupFinishedPage::kInterface)->text(), QStringLiteral("wireless"));
    QCOMPARE(page->Control<QLabel>(SetupFinishedPage::kLinkState)->text(), QStringLiteral("Camera isn't linked  with Server"));
    page->Control<QPushButton>(SetupFinishedPage::kLink)->click();
    QCOMPARE(fx_->urls.opened, QStringList{QStringLiteral("http://10.0.0.9:8080")});
    // Finish and Link show their own pictures, not Next's.
    QCOMPARE(page->Control(SetupFinishedPage::kFinish)->property("iconId").toInt(), 218);
    QCOMPARE(page->Control(SetupFinishedPage::kLink)->property("iconId").toInt(), 221);
}

QTEST_MAIN(GuidedPagesTest)
#include "guided_pages_test.moc"

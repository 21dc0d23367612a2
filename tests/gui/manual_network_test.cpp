// The manual path's network pages: LAN IP and wireless IP (the radio pair,
// the addresses written back, where Next leads and the wireless question,
// the uneven enabling on refresh) and the wireless AP page (channel lists,
// channel selection, network mode, security controls, WEP key limits, the
// hexadecimal check and the default key).
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/pages/LanAddressPage.h"
#include "gui/pages/WirelessNetworkPage.h"
#include "gui/pages/WirelessAddressPage.h"
#include "gui/framework/EditLimit.h"
#include "support/ControlInput.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

const QString kLanguage = QStringLiteral(
    "[Common]\nBtnBack=Back\nBtnNext=Next\n"
    "[LANPage]\nMessage1=Set up the wireless link too?\n"
    "[WLANAPPage]\nMessage1=Hex keys take 0-9 and A-F only\n");

}  // namespace

class ManualNetworkTest : public QObject {
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

    void lanNextLeadsOn_data();
    void lanNextLeadsOn();
    void addressesStoredOnlyForFixed_data();
    void addressesStoredOnlyForFixed();
    void refreshEnablesUnevenly();

    void channelLists_data();
    void channelLists();
    void infrastructureForcesAuto();
    void securityShowsItsControls();
    void wepKeyLimits();
    void hexKeyCheck_data();
    void hexKeyCheck();
    void defaultKeyPicksTheKeyField();

private:
    WirelessNetworkPage* ShowAp() { return fx_->Show<WirelessNetworkPage>(WizardCommand::ShowWirelessNetworkPage, kPageWirelessNetwork); }
    std::unique_ptr<WizardFixture> fx_;
};

void ManualNetworkTest::lanNextLeadsOn_data() {
    QTest::addColumn<int>("loaded");
    QTest::addColumn<int>("hasWireless");
    QTest::addColumn<int>("wirelessIf");
    QTest::addColumn<int>("answer");  // -1: no question expected
    QTest::addColumn<Commands>("posted");
    QTest::addColumn<int>("linkWireless");
    const Commands wireless{WizardCommand::ShowWirelessNetworkPage}, ports{WizardCommand::ShowUpnpPortsPage};
    // Read camera with wireless: the question decides, and sets the link.
    QTest::newRow("read, wireless, Yes") << 1 << 1 << 0 << int(PromptAnswer::Yes) << wireless << 1;
    QTest::newRow("read, wireless, No") << 1 << 1 << 1 << int(PromptAnswer::No) << ports << 0;
    // Read camera without wireless: straight on, link untouched.
    QTest::newRow("read, no wireless") << 1 << 0 << 1 << -1 << ports << 5;
    // An inconsistent record: the page stays.
    QTest::newRow("read, wireless flag 2") << 1 << 2 << 0 << -1 << Commands{} << 5;
    // Not read: by the interface the camera answered on, never asking.
    QTest::newRow("unread, found on wireless") << 0 << 1 << 1 << -1 << wireless << 5;
    QTest::newRow("unread, found on wire") << 0 << 1 << 0 << -1 << ports << 5;
}

void ManualNetworkTest::lanNextLeadsOn() {
    QFETCH(int, loaded);
    QFETCH(int, hasWireless);
    QFETCH(int, wirelessIf);
    QFETCH(int, answer);
    QFETCH(Commands, posted);
    QFETCH(int, linkWireless);
    CameraSettings& s = fx_->Settings();
    s.Loaded = static_cast<uint8_t>(loaded);
    s.HasWireless = static_cast<uint8_t>(hasWireless);
    s.CamWirelessIf = static_cast<uint8_t>(wirelessIf);
    s.LinkWireless = 5;
    s.IPType = 0;
    auto* page = fx_->Show<LanAddressPage>(WizardCommand::ShowLanAddressPage, kPageLanAddress);
    if (answer >= 0) fx_->prompter.Answer(static_cast<PromptAnswer>(answer));
    page->NextButton()->click();
    QCOMPARE(fx_->posted, posted);
    QCOMPARE(int(s.LinkWireless), linkWireless);
    if (answer >= 0) {
        QCOMPARE(fx_->LastPrompt().text, QStringLiteral("Set up the wireless link too?"));
        QCOMPARE(fx_->LastPrompt().buttons, PromptButtons::YesNo);
        QCOMPARE(fx_->LastPrompt().icon, PromptIcon::Information);
        QCOMPARE(fx_->LastPrompt().caption, QStringLiteral("Orvanta"));
    } else {
        QVERIFY(fx_->prompter.Prompts().empty());
    }
}

void ManualNetworkTest::addressesStoredOnlyForFixed_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("dhcpRadio");
    QTest::addColumn<int>("fixedRadio");
    QTest::addColumn<int>("firstAddress");
    QTest::newRow("lan") << int(kPageLanAddress) << int(LanAddressPage::kDhcpRadio) << int(LanAddressPage::kFixedRadio)
                         << int(LanAddressPage::kAddress);
    QTest::newRow("wireless") << int(kPageWirelessAddress) << int(WirelessAddressPage::kDhcpRadio) << int(WirelessAddressPage::kFixedRadio)
                              << int(WirelessAddressPage::kAddress);
}

void ManualNetworkTest::addressesStoredOnlyForFixed() {
    QFETCH(int, page);
    QFETCH(int, dhcpRadio);
    QFETCH(int, fixedRadio);
    QFETCH(int, firstAddress);
    CameraSettings& s = fx_->Settings();
    const bool lan = page == kPageLanAddress;
    uint8_t& mode = lan ? s.IPType : s.WIPType;
    char* first = lan ? s.IPAddr : s.WIPAddr;
    char* last = lan ? s.DNS2 : s.WDNS2;
    s.Loaded = 0;
    s.CamWirelessIf = 0;
    WizardPage* p = fx_->Window().Page(page);
    // Neither radio (never refreshed): refused, nothing written.
    mode = 9;
    fx_->prompter.Answer(PromptAnswer::Ok);
    p->NextButton()->click();
    QCOMPARE(fx_->LastPrompt().text, QStringLiteral("Please choose one !"));
    QCOMPARE(fx_->LastPrompt().icon, PromptIcon::None);
    QCOMPARE(mode, uint8_t{9});
    QVERIFY(fx_->posted.empty());
    // Fixed: every control as dotted text, an untouched one as 0.0.0.0.
    On<QRadioButton>(p, fixedRadio)->click();
    On<Ipv4AddressEdit>(p, firstAddress)->SetValue(Ipv4Address::FromHostOrder(0xC0A80105));      // 192.168.1.5
    On<Ipv4AddressEdit>(p, firstAddress + 1)->SetValue(Ipv4Address::FromHostOrder(0xFFFFFF00));  // 255.255.255.0
    On<Ipv4AddressEdit>(p, firstAddress + 4)->Clear();
    p->NextButton()->click();
    QCOMPARE(mode, uint8_t{1});
    QCOMPARE(QString::fromUtf8(first), QStringLiteral("192.168.1.5"));
    QCOMPARE(QString::fromUtf8(last), QStringLiteral("0.0.0.0"));
    QCOMPARE(fx_->LastPosted(), WizardCommand::ShowUpnpPortsPage);
    // DHCP: mode 0, the addresses as they were.
    On<QRadioButton>(p, dhcpRadio)->click();
    On<Ipv4AddressEdit>(p, firstAddress)->SetValue(Ipv4Address::FromHostOrder(0x0A000001));
    p->NextButton()->click();
    QCOMPARE(mode, uint8_t{0});
    QCOMPARE(QString::fromUtf8(first), QStringLiteral("192.168.1.5"));
    // Back leads to the page before.
    p->BackButton()->click();
    QCOMPARE(fx_->LastPosted(), lan ? WizardCommand::ShowIspLinkPage : WizardCommand::ShowWirelessNetworkPage);
}

void ManualNetworkTest::refreshEnablesUnevenly() {
    CameraSettings& s = fx_->Settings();
    SetField(s.IPAddr, "10.0.0.7");
    SetField(s.WIPAddr, "10.0.1.7");
    s.IPType = 0;
    s.WIPType = 0;
    auto* lan = fx_->Show<LanAddressPage>(WizardCommand::ShowLanAddressPage, kPageLanAddress);
    auto* wlan = fx_->Show<WirelessAddressPage>(WizardCommand::ShowWirelessAddressPage, kPageWirelessAddress);
    QVERIFY(!On<Ipv4AddressEdit>(lan, LanAddressPage::kAddress)->isEnabled());
    QVERIFY(!On<Ipv4AddressEdit>(wlan, WirelessAddressPage::kAddress)->isEnabled());
    // The record turns fixed: both show the addresses; only the wireless
    // page frees them, the LAN page waits for a click on its fixed radio.
    s.IPType = 1;
    s.WIPType = 1;
    lan = fx_->Show<LanAddressPage>(WizardCommand::ShowLanAddressPage, kPageLanAddress);
    wlan = fx_->Show<WirelessAddressPage>(WizardCommand::ShowWirelessAddressPage, kPageWirelessAddress);
    QVERIFY(On<QRadioButton>(lan, LanAddressPage::kFixedRadio)->isChecked());
    QCOMPARE(On<Ipv4AddressEdit>(lan, LanAddressPage::kAddress)->RecordText(), QStringLiteral("10.0.0.7"));
    for (int id = LanAddressPage::kAddress; id <= LanAddressPage::kDns2; ++id) QVERIFY(!On<Ipv4AddressEdit>(lan, id)->isEnabled());
    QCOMPARE(On<Ipv4AddressEdit>(wlan, WirelessAddressPage::kAddress)->RecordText(), QStringLiteral("10.0.1.7"));
    for (int id = WirelessAddressPage::kAddress; id <= WirelessAddressPage::kDns2; ++id)
        QVERIFY(On<Ipv4AddressEdit>(wlan, id)->isEnabled());
    On<QRadioButton>(lan, LanAddressPage::kFixedRadio)->click();
    for (int id = LanAddressPage::kAddress; id <= LanAddressPage::kDns2; ++id) QVERIFY(On<Ipv4AddressEdit>(lan, id)->isEnabled());
}

void ManualNetworkTest::channelLists_data() {
    QTest::addColumn<int>("chType");
    QTest::addColumn<int>("wireCh");
    QTest::addColumn<QString>("entries");
    QTest::addColumn<QString>("selected");
    // Every channel plan, and the prefix rule that starts after "Auto".
    QTest::newRow("plan 0, channel 1 is not 10") << 0 << 1 << "Auto 1 2 3 4 5 6 7 8 9 10 11" << "1";
    QTest::newRow("plan 1") << 1 << 13 << "Auto 1 2 3 4 5 6 7 8 9 10 11 12 13" << "13";
    QTest::newRow("plan 2") << 2 << 14 << "Auto 1 2 3 4 5 6 7 8 9 10 11 12 13 14" << "14";
    QTest::newRow("plan 3") << 3 << 12 << "Auto 10 11 12 13" << "12";
    QTest::newRow("plan 4, channel 11") << 4 << 11 << "Auto 10 11" << "11";
    QTest::newRow("plan 5") << 5 << 5 << "Auto 5 6 7 8 9 10 11 12 13" << "5";
    // Auto (0) matches nothing: no selection.
    QTest::newRow("plan 0, auto") << 0 << 0 << "Auto 1 2 3 4 5 6 7 8 9 10 11" << "";
    // A channel the plan lacks: no selection, not a neighbour.
    QTest::newRow("plan 4, channel 6") << 4 << 6 << "Auto 10 11" << "";
    // A plan the page does not know: an empty list.
    QTest::newRow("plan 6") << 6 << 1 << "" << "";
}

void ManualNetworkTest::channelLists() {
    QFETCH(int, chType);
    QFETCH(int, wireCh);
    QFETCH(QString, entries);
    QFETCH(QString, selected);
    CameraSettings& s = fx_->Settings();
    s.ChType = static_cast<uint8_t>(chType);
    s.WireCh = static_cast<uint8_t>(wireCh);
    s.WireSec = 1;
    ShowAp();  // twice: the list is rebuilt, not appended to
    auto* page = ShowAp();
    auto* list = On<QComboBox>(page, WirelessNetworkPage::kChannel);
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
    QCOMPARE(items.join(QLatin1Char(' ')), entries);
    QCOMPARE(list->currentIndex() >= 0 ? list->currentText() : QString(), selected);
    // Next reads the channel from the text: Auto and nothing give 0.
    s.WireSec = 0;
    Choose(On<QComboBox>(page, WirelessNetworkPage::kSecurity), 0);
    page->NextButton()->click();
    QCOMPARE(int(s.WireCh), selected.toInt());
}

void ManualNetworkTest::infrastructureForcesAuto() {
    CameraSettings& s = fx_->Settings();
    s.ChType = 0;
    s.WireCh = 6;
    s.WireType = 1;  // set from the record: the handler does not run
    s.WireSec = 2;
    auto* page = ShowAp();
    auto* mode = On<QComboBox>(page, WirelessNetworkPage::kMode);
    auto* channel = On<QComboBox>(page, WirelessNetworkPage::kChannel);
    QCOMPARE(mode->currentIndex(), 1);
    QCOMPARE(channel->currentText(), QStringLiteral("6"));
    QVERIFY(channel->isEnabled());  // WireSec 2: enabled
    Choose(mode, 1);
    QCOMPARE(channel->currentText(), QStringLiteral("Auto"));
    QVERIFY(!channel->isEnabled());
    Choose(mode, 0);
    QVERIFY(channel->isEnabled());
    // No security in the record greys the list on refresh.
    s.WireSec = 0;
    page = ShowAp();
    QVERIFY(!channel->isEnabled());
}

void ManualNetworkTest::securityShowsItsControls() {
    auto* page = ShowAp();
    const QList<int> wep = {WirelessNetworkPage::kWepAuthLabel, WirelessNetworkPage::kWepFormatLabel, WirelessNetworkPage::kWepLengthLabel,
                            WirelessNetworkPage::kWepDefaultLabel, WirelessNetworkPage::kWepAuth, WirelessNetworkPage::kWepLength,
                            WirelessNetworkPage::kWepFormat, WirelessNetworkPage::kWepDefault, WirelessNetworkPage::kWepKey};
    const QList<int> wpa = {WirelessNetworkPage::kWpaAlgorithmLabel, WirelessNetworkPage::kWpaKeyLabel, WirelessNetworkPage::kWpaAlgorithm,
                            WirelessNetworkPage::kWpaKey};
    auto shown = [&](const QList<int>& ids, bool expected) {
        for (int id : ids)
            if (page->Control(id)->isHidden() == expected) return false;
        return true;
    };
    auto* security = On<QComboBox>(page, WirelessNetworkPage::kSecurity);
    Choose(security, 1);
    QVERIFY(shown(wep, true) && shown(wpa, false));
    Choose(security, 3);
    QVERIFY(shown(wep, false) && shown(wpa, true));
    Choose(security, 0);
    QVERIFY(shown(wep, false) && shown(wpa, false));
    // The template's spare key edits and key radios never show.
    Choose(security, 1);
    for (int id : {WirelessNetworkPage::kSpareKey2, WirelessNetworkPage::kSpareKey3, WirelessNetworkPage::kSpareKey4, WirelessNetworkPage::kKeyRadio1,
                   WirelessNetworkPage::kKeyRadio2, WirelessNetworkPage::kKeyRadio3, WirelessNetworkPage::kKeyRadio4})
        QVERIFY(page->Control(id)->isHidden());
}

void ManualNetworkTest::wepKeyLimits() {
    auto* page = ShowAp();
    auto* key = On<QLineEdit>(page, WirelessNetworkPage::kWepKey);
    // Before any format or length is chosen: the 256-byte key field.
    Type(key, QString(300, 'a'));
    QCOMPARE(key->text().size(), 255);
    Choose(On<QComboBox>(page, WirelessNetworkPage::kSecurity), 1);
    Choose(On<QComboBox>(page, WirelessNetworkPage::kWepFormat), 0);  // HEX
    Choose(On<QComboBox>(page, WirelessNetworkPage::kWepLength), 1);  // 128 bits
    Type(key, QString(30, 'b'));
    QCOMPARE(key->text().size(), 26);
    // ASCII lowers the limit to 13 but keeps the 26 typed.
    Choose(On<QComboBox>(page, WirelessNetworkPage::kWepFormat), 1);
    QCOMPARE(key->text().size(), 26);
    QCOMPARE(EditLimit::Of(key)->MaxChars(), 13);
    Choose(On<QComboBox>(page, WirelessNetworkPage::kWepLength), 0);
    QCOMPARE(EditLimit::Of(key)->MaxChars(), 5);
    // The length list limits the spare edits as well, the format list not.
    QCOMPARE(EditLimit::Of(On<QLineEdit>(page, WirelessNetworkPage::kSpareKey2))->MaxChars(), 5);
    Choose(On<QComboBox>(page, WirelessNetworkPage::kWepFormat), 0);
    QCOMPARE(EditLimit::Of(key)->MaxChars(), 10);
    QCOMPARE(EditLimit::Of(On<QLineEdit>(page, WirelessNetworkPage::kSpareKey2))->MaxChars(), 5);
}

void ManualNetworkTest::hexKeyCheck_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("G after F") << "0aFG" << false;
    QTest::newRow("lower g") << "12g4" << false;
    QTest::newRow("blank") << "12 4" << false;
    QTest::newRow("mixed case digits") << "0aF9" << true;
    QTest::newRow("every hex digit") << "0123456789ABCDEFabcdef" << true;
    QTest::newRow("empty") << "" << true;
}

void ManualNetworkTest::hexKeyCheck() {
    QFETCH(QString, key);
    QFETCH(bool, accepted);
    CameraSettings& s = fx_->Settings();
    s.WireSec = 1;
    s.WEPMode = 0;
    s.WEPKeyE0 = 0;
    SetField(s.WEPKey0, "old");
    auto* page = ShowAp();
    Choose(On<QComboBox>(page, WirelessNetworkPage::kWepLength), 1);  // 128 bits
    On<QLineEdit>(page, WirelessNetworkPage::kWepKey)->setText(key);
    if (!accepted) fx_->prompter.Answer(PromptAnswer::Ok);
    page->NextButton()->click();
    QCOMPARE(s.WepKeyL, uint8_t{128});
    if (accepted) {
        QCOMPARE(fx_->LastPosted(), WizardCommand::ShowWirelessAddressPage);
        QCOMPARE(QString::fromUtf8(s.WEPKey0), key);
        return;
    }
    QCOMPARE(fx_->LastPrompt().text, QStringLiteral("Hex keys take 0-9 and A-F only"));
    QCOMPARE(fx_->LastPrompt().icon, PromptIcon::Warning);
    QVERIFY(fx_->posted.empty());
    QCOMPARE(QString::fromUtf8(s.WEPKey0), QStringLiteral("old"));
    // ASCII takes the same key.
    Choose(On<QComboBox>(page, WirelessNetworkPage::kWepFormat), 1);
    page->NextButton()->click();
    QCOMPARE(QString::fromUtf8(s.WEPKey0), key);
    QCOMPARE(s.WEPMode, uint8_t{1});
}

void ManualNetworkTest::defaultKeyPicksTheKeyField() {
    CameraSettings& s = fx_->Settings();
    s.WireSec = 1;
    s.WEPMode = 1;
    s.WEPKeyE0 = 1;
    SetField(s.WEPKey0, "key-0");
    SetField(s.WEPKey1, "key-1");
    SetField(s.WEPKey2, "key-2");
    SetField(s.WEPKey3, "key-3");
    auto* page = ShowAp();
    auto* key = On<QLineEdit>(page, WirelessNetworkPage::kWepKey);
    QCOMPARE(On<QComboBox>(page, WirelessNetworkPage::kWepDefault)->currentText(), QStringLiteral("Key2"));
    QCOMPARE(key->text(), QStringLiteral("key-1"));
    Choose(On<QComboBox>(page, WirelessNetworkPage::kWepDefault), 2);
    QCOMPARE(key->text(), QStringLiteral("key-2"));
    key->setText(QStringLiteral("third"));
    page->NextButton()->click();
    QCOMPARE(s.WEPKeyE0, uint8_t{2});
    QCOMPARE(QString::fromUtf8(s.WEPKey2), QStringLiteral("third"));
    QCOMPARE(QString::fromUtf8(s.WEPKey1), QStringLiteral("key-1"));
    QCOMPARE(s.WepKeyL, uint8_t{64});
    // A key number above 3 from the camera: the edit keeps its text and
    // Next writes no key field.
    s.WEPKeyE0 = 7;
    page = ShowAp();
    QCOMPARE(key->text(), QStringLiteral("third"));
    page->NextButton()->click();
    QCOMPARE(s.WEPKeyE0, uint8_t{255});
    for (const char* k : {s.WEPKey0, s.WEPKey1, s.WEPKey3}) QVERIFY(QString::fromUtf8(k).startsWith("key-"));
}

QTEST_MAIN(ManualNetworkTest)
#include "manual_network_test.moc"

// The access point scan page: what Next stores for each kind of network and
// which keys it refuses, the enabling by security text, the WEP key limits,
// the empty scan's question, and a list shorter than the count the camera
// reported.
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "core/camera/AccessPointScan.h"
#include "core/settings/FixedField.h"
#include "gui/pages/AccessPointScanPage.h"
#include "gui/framework/EditLimit.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

// The WEP controls, enabled together for a WEP network only.
constexpr int kWepControls[] = {AccessPointScanPage::kWepMode, AccessPointScanPage::kWepFormat, AccessPointScanPage::kWepLength,
                                AccessPointScanPage::kWepKeyNumber, AccessPointScanPage::kWepKey};

const char* kLanguage =
    "[ApscanPage]\nMessage1=Scan again?\nMessage2=WEP key empty\nMessage3=WEP key not hex\n"
    "Message4=WPA key empty\n";

AccessPointEntry Ap(const char* ssid, const char* mode, const char* security, const char* algorithm, int channel = 6) {
    AccessPointEntry a{};
    a.Channel = static_cast<uint8_t>(channel);
    SetField(a.Mac_address, "00:11:22:33:44:55");
    SetField(a.SSID, ssid);
    a.Quality = 77;
    SetField(a.Mode, mode);
    SetField(a.Security, security);
    SetField(a.Algorithm, algorithm);
    return a;
}

std::string Str(const char* field, std::size_t n) { return std::string(field, strnlen(field, n)); }
#define FIELD(f) Str((f), sizeof(f))

}  // namespace

class ApScanPageTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->WriteLanguage(QStringLiteral("English (ENG).ini"), QString::fromUtf8(kLanguage));
        page_ = std::make_unique<AccessPointScanPage>();
        fx_->AttachPage(*page_);
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        page_.reset();
        fx_.reset();
    }

    void nextStoresByNetwork_data();
    void nextStoresByNetwork();
    void securityTextSetsEnabling();
    void wepKeyLimit_data();
    void wepKeyLimit();
    void emptyScanAsksForARescan();
    void countBeyondTheListShowsOnlyTheList();

private:
    void Fill(std::vector<AccessPointEntry> aps) {
        fx_->kept.accessPoints = std::move(aps);
        fx_->Settings().APCount = static_cast<uint32_t>(fx_->kept.accessPoints.size());
        page_->LoadFromSettings();
    }
    QComboBox* Combo(int id) { return page_->Control<QComboBox>(id); }
    QLineEdit* Edit(int id) { return page_->Control<QLineEdit>(id); }

    std::unique_ptr<WizardFixture> fx_;
    std::unique_ptr<AccessPointScanPage> page_;
};

void ApScanPageTest::nextStoresByNetwork_data() {
    QTest::addColumn<QString>("security");
    QTest::addColumn<QString>("algorithm");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("format");     // 0 HEX, 1 ASCII
    QTest::addColumn<int>("length");     // 0 "64", 1 "128"
    QTest::addColumn<int>("keyNumber");  // 0..3
    QTest::addColumn<QString>("key");    // typed into the WEP or the WPA edit
    QTest::addColumn<QString>("prompt"); // "" when Next goes on
    QTest::addColumn<int>("wireSec");
    QTest::addColumn<int>("wpaEnc");
    QTest::addColumn<int>("wireType");
    QTest::addColumn<int>("wepKeyL");
    QTest::addColumn<QStringList>("wepKeys");  // the four key fields after Next
    // The mixed WPA modes are stored as WPA2, and TKIP/AES as AES.
    QTest::newRow("WPA/WPA2 TKIP/AES") << "WPA-PSK/WPA2-PSK" << "TKIP/AES" << "Infra" << 1 << 0 << 0 << "passphrase1"
                                       << "" << 3 << 0 << 1 << 9 << QStringList{"old", "old", "old", "old"};
    QTest::newRow("WPA TKIP") << "WPA-PSK" << "TKIP" << "Infrastructure" << 1 << 0 << 0 << "passphrase2" << "" << 2
                              << 1 << 1 << 9 << QStringList{"old", "old", "old", "old"};
    // An empty WPA key is refused, but the network fields are already stored.
    QTest::newRow("WPA2 empty key") << "WPA2-PSK" << "AES" << "Infra" << 1 << 0 << 0 << "" << "WPA key empty" << 3
                                    << 0 << 1 << 9 << QStringList{"old", "old", "old", "old"};
    // Ten hex digits into key 3; the other three keys are emptied.
    QTest::newRow("WEP hex 64 key 3") << "WEP" << "" << "Infra" << 0 << 0 << 2 << "0123456789" << "" << 1 << 5 << 1
                                      << 0 << QStringList{"", "", "0123456789", ""};
    // "G" is no hex digit: refused, keys untouched, the length index stored.
    QTest::newRow("WEP hex with G") << "WEP" << "" << "Infra" << 0 << 1 << 0 << "0123456789ABCDEFG" << "WEP key not hex"
                                    << 1 << 5 << 1 << 1 << QStringList{"old", "old", "old", "old"};
    // ASCII goes into the chosen key only; "128" stores index 1, not 128.
    QTest::newRow("WEP ascii 128 key 2") << "WEP" << "" << "Adhoc" << 1 << 1 << 1 << "abcdefghijklm" << "" << 1 << 5
                                         << 0 << 1 << QStringList{"old", "abcdefghijklm", "old", "old"};
    QTest::newRow("WEP empty") << "WEP" << "" << "Infra" << 1 << 0 << 0 << "" << "WEP key empty" << 1 << 5 << 1 << 0
                               << QStringList{"old", "old", "old", "old"};
    QTest::newRow("open network") << "None" << "" << "Adhoc" << 1 << 0 << 0 << "" << "" << 0 << 5 << 0 << 9
                                  << QStringList{"old", "old", "old", "old"};
    // A security text the page does not know leaves WireSec as it was.
    QTest::newRow("unknown security") << "WPA-EAP" << "CCMP" << "Mesh" << 1 << 0 << 0 << "" << "" << 7 << 5 << 4 << 9
                                      << QStringList{"old", "old", "old", "old"};
}

void ApScanPageTest::nextStoresByNetwork() {
    QFETCH(QString, security);
    QFETCH(QString, algorithm);
    QFETCH(QString, mode);
    QFETCH(int, format);
    QFETCH(int, length);
    QFETCH(int, keyNumber);
    QFETCH(QString, key);
    QFETCH(QString, prompt);
    QFETCH(int, wireSec);
    QFETCH(int, wpaEnc);
    QFETCH(int, wireType);
    QFETCH(int, wepKeyL);
    QFETCH(QStringList, wepKeys);
    CameraSettings& s = fx_->Settings();
    s.WireSec = 7;
    s.WPAEnc = 5;
    s.WireType = 4;
    s.WepKeyL = 9;
    for (char* k : {s.WEPKey0, s.WEPKey1, s.WEPKey2, s.WEPKey3}) CopyToField(k, sizeof s.WEPKey0, "old");
    Fill({Ap("first", "Infra", "None", "AES"),
          Ap("My Home Net", mode.toUtf8().constData(), security.toUtf8().constData(),
             algorithm.toUtf8().constData(), 11)});
    Combo(AccessPointScanPage::kAccessPoint)->setCurrentIndex(1);
    Combo(AccessPointScanPage::kWepFormat)->setCurrentIndex(format);
    Combo(AccessPointScanPage::kWepLength)->setCurrentIndex(length);
    Combo(AccessPointScanPage::kWepKeyNumber)->setCurrentIndex(keyNumber);
    (security == "WEP" ? Edit(AccessPointScanPage::kWepKey) : Edit(AccessPointScanPage::kWpaKey))->setText(key);
    if (!prompt.isEmpty()) fx_->prompter.Answer(PromptAnswer::Ok);
    page_->NextButton()->click();

    QCOMPARE(fx_->PromptTexts(), prompt.isEmpty() ? QStringList{} : QStringList{prompt});
    if (!prompt.isEmpty()) QCOMPARE(fx_->prompter.Prompts()[0].caption, QString());
    QCOMPARE(fx_->posted, prompt.isEmpty() ? Commands{WizardCommand::ShowUpnpPortsPage} : Commands{});
    QCOMPARE(FIELD(s.SSID), std::string("My Home Net"));
    QCOMPARE(int(s.WireCh), 11);
    QCOMPARE(int(s.WireSec), wireSec);
    QCOMPARE(int(s.WPAEnc), wpaEnc);
    QCOMPARE(int(s.WireType), wireType);
    QCOMPARE(int(s.WepKeyL), wepKeyL);
    const QStringList keys{QString::fromStdString(FIELD(s.WEPKey0)), QString::fromStdString(FIELD(s.WEPKey1)),
                           QString::fromStdString(FIELD(s.WEPKey2)), QString::fromStdString(FIELD(s.WEPKey3))};
    QCOMPARE(keys, wepKeys);
    if (security.startsWith("WPA") && security != "WPA-EAP" && prompt.isEmpty())
        QCOMPARE(QString::fromStdString(FIELD(s.WPAKey)), key);
    if (security == "WEP" && wireSec == 1) {
        QCOMPARE(int(s.WEPMode), format);
        QCOMPARE(int(s.WEPKeyE0), keyNumber);
    }
}

void ApScanPageTest::securityTextSetsEnabling() {
    Fill({Ap("a", "Infra", "None", ""), Ap("b", "Infra", "WEP", ""), Ap("c", "Infra", "WPA2-PSK", "AES"),
          Ap("d", "Infra", "Strange", "")});
    QCOMPARE(Combo(AccessPointScanPage::kAccessPoint)->count(), 4);
    QCOMPARE(Combo(AccessPointScanPage::kAccessPoint)->itemText(3), QStringLiteral("AP 4"));
    struct Row {
        int index;
        bool wep;
        bool wpa;
    };
    // One row per selection, in this order: the unknown text keeps the
    // enabling of the row before it.
    const Row rows[] = {{0, false, false}, {1, true, false}, {2, false, true}, {3, false, true}, {1, true, false}};
    for (const Row& r : rows) {
        Combo(AccessPointScanPage::kAccessPoint)->setCurrentIndex(r.index);
        for (int id : kWepControls) QCOMPARE(page_->Control(id)->isEnabled(), r.wep);
        QCOMPARE(Edit(AccessPointScanPage::kWpaKey)->isEnabled(), r.wpa);
    }
}

void ApScanPageTest::wepKeyLimit_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("limit");
    QTest::newRow("HEX 64") << 0 << 0 << 10;
    QTest::newRow("HEX 128") << 0 << 1 << 26;
    QTest::newRow("ASCII 64") << 1 << 0 << 5;
    QTest::newRow("ASCII 128") << 1 << 1 << 13;
}

void ApScanPageTest::wepKeyLimit() {
    QFETCH(int, format);
    QFETCH(int, length);
    QFETCH(int, limit);
    Fill({Ap("w", "Infra", "WEP", "")});
    // No limit of the page's own until the user changes format or length.
    QVERIFY(EditLimit::Of(Edit(AccessPointScanPage::kWepKey))->MaxChars() > 26);
    // A key typed before is kept whole when the limit comes or drops.
    const QString typed(30, QLatin1Char('A'));
    Edit(AccessPointScanPage::kWepKey)->setText(typed);
    Combo(AccessPointScanPage::kWepFormat)->setCurrentIndex(format);
    Combo(AccessPointScanPage::kWepLength)->setCurrentIndex(length);
    emit Combo(AccessPointScanPage::kWepLength)->activated(length);
    QCOMPARE(EditLimit::Of(Edit(AccessPointScanPage::kWepKey))->MaxChars(), limit);
    QCOMPARE(Edit(AccessPointScanPage::kWepKey)->text(), typed);
    QCOMPARE(EditLimit::Of(Edit(AccessPointScanPage::kWpaKey))->MaxChars(), 58);
}

void ApScanPageTest::emptyScanAsksForARescan() {
    // No: nothing posted, every control disabled, Next then empties SSID.
    SetField(fx_->Settings().SSID, "stale");
    fx_->prompter.Answer(PromptAnswer::No);
    Fill({});
    QCOMPARE(fx_->PromptTexts(), QStringList{"Scan again?"});
    QCOMPARE(int(fx_->prompter.Prompts()[0].buttons), int(PromptButtons::YesNo));
    QCOMPARE(int(fx_->prompter.Prompts()[0].icon), int(PromptIcon::Warning));
    QVERIFY(fx_->posted.empty());
    for (int id : {AccessPointScanPage::kAccessPoint, AccessPointScanPage::kMac, AccessPointScanPage::kSsid, AccessPointScanPage::kMode,
                   AccessPointScanPage::kChannel, AccessPointScanPage::kQuality, AccessPointScanPage::kSecurity, AccessPointScanPage::kAlgorithm,
                   AccessPointScanPage::kWpaKey})
        QVERIFY2(!page_->Control(id)->isEnabled(), qPrintable(QString::number(id)));
    for (int id : kWepControls) QVERIFY2(!page_->Control(id)->isEnabled(), qPrintable(QString::number(id)));
    page_->NextButton()->click();
    QCOMPARE(FIELD(fx_->Settings().SSID), std::string());
    QCOMPARE(fx_->posted, std::vector<WizardCommand>{WizardCommand::ShowUpnpPortsPage});

    // Yes asks for a rescan (22); a rescan that finds networks makes the
    // page usable again.
    fx_->posted.clear();
    fx_->prompter.Answer(PromptAnswer::Yes);
    Fill({});
    QCOMPARE(fx_->posted, std::vector<WizardCommand>{WizardCommand::ScanAccessPoints});
    Fill({Ap("found", "Infra", "WPA-PSK", "TKIP")});
    QVERIFY(Combo(AccessPointScanPage::kAccessPoint)->isEnabled());
    QVERIFY(Edit(AccessPointScanPage::kWpaKey)->isEnabled());
    QCOMPARE(Edit(AccessPointScanPage::kSsid)->text(), QStringLiteral("found"));
}

void ApScanPageTest::countBeyondTheListShowsOnlyTheList() {
    fx_->kept.accessPoints = {Ap("one", "Infra", "None", ""), Ap("two", "Infra", "None", "")};
    fx_->Settings().APCount = 40;
    page_->LoadFromSettings();
    QCOMPARE(Combo(AccessPointScanPage::kAccessPoint)->count(), 2);
    // No list at all behaves as an empty scan.
    fx_->PageContext().kept = nullptr;
    fx_->prompter.Answer(PromptAnswer::No);
    page_->LoadFromSettings();
    QCOMPARE(Combo(AccessPointScanPage::kAccessPoint)->count(), 0);
    QCOMPARE(fx_->PromptTexts(), QStringList{"Scan again?"});
}

QTEST_MAIN(ApScanPageTest)
#include "wireless_apscan_test.moc"

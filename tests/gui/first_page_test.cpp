// The first page: the network-type box for every combination of Internet,
// dial-up, adapter and DHCP; the start flags and commands of its buttons;
// the hidden buttons; the server button shown only with a listing server.
#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QGroupBox>
#include <QTest>

#include "gui/controls/Art.h"
#include "core/hostnet/TemporaryAddress.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/pages/StartPage.h"
#include "support/ControlInput.h"
#include "support/SettingsPresets.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

const QString kLanguage = QStringLiteral(
    "[FirstPage]\n"
    "Btn_FindCam=Find camera\nBtn_SetupCam=Set up camera\nBtn_FindNet=Server list\nBtn_About=About\n"
    "Btn_Language=Language\nLinkTypeEthernet=ETH\nLinkTypePPPOE=PPPOE\nLinkFixedIP=FIXED\n"
    "LinkDynamicIP=DYNAMIC\nLinkNotConnect=OFFLINE\n");

}  // namespace

class FirstPageTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->WriteLanguage(QStringLiteral("English (ENG).ini"), kLanguage);
        fx_->RememberLanguage(QStringLiteral("English (ENG).ini"));
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        fx_.reset();
    }

    void networkBox_data();
    void networkBox();
    void captionsAndHiddenButtons();
    void pathButtonsSetOneStartFlag();
    void otherButtonsPostTheirCommands();
    void searchIntranetFollowsTheListingServer();
    void missingKeysShowTheBuiltInEnglish();
    void aboutFromTheWindowMenu();
    void cardChoiceDrivesTheAdapterInUse();

private:
    StartPage* Start(const DeploymentSettings& d = {}) {
        WizardWindow& dlg = fx_->Start(d);
        return dlg.FirstPage();
    }
    std::unique_ptr<WizardFixture> fx_;
};

void FirstPageTest::networkBox_data() {
    QTest::addColumn<int>("reachable");
    QTest::addColumn<int>("dialUp");
    QTest::addColumn<int>("adapter");
    QTest::addColumn<int>("dhcp");
    QTest::addColumn<int>("picture");
    QTest::addColumn<QString>("text");
    // Online over PPPoE with a LAN adapter too: the PPPoE picture, two lines.
    QTest::newRow("online pppoe+lan dhcp") << 1 << 1 << 1 << 1 << art::kFirstPppoe << "PPPOE\nDYNAMIC";
    QTest::newRow("online pppoe+lan fixed") << 1 << 1 << 1 << 0 << art::kFirstPppoe << "PPPOE\nFIXED";
    // Online over a LAN: the router picture and the address kind.
    QTest::newRow("online lan dhcp") << 1 << 0 << 1 << 1 << art::kFirstRouter << "ETH\nDYNAMIC";
    QTest::newRow("online lan fixed") << 1 << 0 << 1 << 0 << art::kFirstRouter << "ETH\nFIXED";
    // Online by dial-up only: one line, no address kind.
    QTest::newRow("online pppoe only") << 1 << 1 << 0 << 1 << art::kFirstPppoe << "PPPOE";
    // Online with no adapter found: the fixed text, picture as it was.
    QTest::newRow("online nothing found") << 1 << 0 << 0 << 1 << art::kFirstPppoe << "FIXED";
    // Offline on a LAN: the crossed-out chain.
    QTest::newRow("offline lan") << 0 << 0 << 1 << 1 << art::kFirstNoInternet << "OFFLINE";
    // Offline with dial-up: the picture stays what it was (206 at start).
    QTest::newRow("offline pppoe") << 0 << 1 << 0 << 0 << art::kFirstPppoe << "OFFLINE";
    QTest::newRow("offline pppoe+lan") << 0 << 1 << 1 << 0 << art::kFirstPppoe << "OFFLINE";
    QTest::newRow("offline nothing") << 0 << 0 << 0 << 0 << art::kFirstPppoe << "OFFLINE";
}

void FirstPageTest::networkBox() {
    QFETCH(int, reachable);
    QFETCH(int, dialUp);
    QFETCH(int, adapter);
    QFETCH(int, dhcp);
    QFETCH(int, picture);
    QFETCH(QString, text);
    StartPage* page = Start();
    CameraSettings& s = fx_->Settings();
    s.internetReachable = static_cast<uint8_t>(reachable);
    s.HostDialUp = static_cast<uint8_t>(dialUp);
    s.HostAdapterFound = static_cast<uint8_t>(adapter);
    s.HostDHCP = static_cast<uint8_t>(dhcp);
    page->UpdateNetworkBox();
    QCOMPARE(page->NetworkPicture(), picture);
    QCOMPARE(page->NetworkText(), text);
    QCOMPARE(page->Control<QLabel>(StartPage::kNetworkText)->text(), text);
}

void FirstPageTest::captionsAndHiddenButtons() {
    StartPage* page = Start();
    QCOMPARE(page->Control<QAbstractButton>(StartPage::kSearchButton)->text(), QStringLiteral("Find camera"));
    QCOMPARE(page->Control<QAbstractButton>(StartPage::kSetupButton)->text(), QStringLiteral("Set up camera"));
    QCOMPARE(page->Control<QAbstractButton>(StartPage::kAboutButton)->text(), QStringLiteral("About"));
    QCOMPARE(page->Control<QAbstractButton>(StartPage::kLanguageButton)->text(), QStringLiteral("Language"));
    QCOMPARE(page->Control<QAbstractButton>(StartPage::kSearchButton)->accessibleName(), QStringLiteral("Find camera"));
    // Made hidden; the upgrade button also disabled.
    QVERIFY(page->Control<QAbstractButton>(StartPage::kIntranetButton)->isHidden());
    QVERIFY(page->Control<QAbstractButton>(StartPage::kUpgradeButton)->isHidden());
    QVERIFY(!page->Control<QAbstractButton>(StartPage::kUpgradeButton)->isEnabled());
    // The first page has no step title and no Back/Next.
    QVERIFY(page->StepTitle() == nullptr);
    QVERIFY(page->BackButton() == nullptr);
}

void FirstPageTest::pathButtonsSetOneStartFlag() {
    StartPage* page = Start();
    CameraSettings& s = fx_->Settings();
    QCOMPARE(s.StartSearch + s.StartSetup + s.StartUpgrade, 0);
    page->Control<QAbstractButton>(StartPage::kSetupButton)->click();
    QCoreApplication::processEvents();
    QCOMPARE(fx_->Window().Pages().CurrentIndex(), int(kPageSetupChoice));
    QCOMPARE(s.StartSetup, uint8_t{1});
    // Search after Setup leaves only StartSearch set.
    fx_->Window().HandleCommand(WizardCommand::StartOver);
    page->Control<QAbstractButton>(StartPage::kSearchButton)->click();
    QCoreApplication::processEvents();
    QCOMPARE(fx_->Window().Pages().CurrentIndex(), int(kPageSearch));
    QCOMPARE(s.StartSearch, uint8_t{1});
    QCOMPARE(s.StartSetup, uint8_t{0});
    QCOMPARE(s.StartUpgrade, uint8_t{0});
    // The hidden upgrade button still works as its handler says.
    fx_->Window().HandleCommand(WizardCommand::StartOver);
    page->Control<QAbstractButton>(StartPage::kUpgradeButton)->setEnabled(true);
    page->Control<QAbstractButton>(StartPage::kUpgradeButton)->click();
    QCoreApplication::processEvents();
    QCOMPARE(fx_->Window().Pages().CurrentIndex(), int(kPageSearch));
    QCOMPARE(s.StartUpgrade, uint8_t{1});
    QCOMPARE(s.StartSearch, uint8_t{0});
}

void FirstPageTest::otherButtonsPostTheirCommands() {
    StartPage* page = Start();
    // About: the about dialog runs; the page stays.
    fx_->prompter.AnswerDialog([](QDialog& d) {
        return d.objectName() == QString::number(AboutDialog::kDialog) ? QDialog::Accepted : QDialog::Rejected;
    });
    page->Control<QAbstractButton>(StartPage::kAboutButton)->click();
    QCoreApplication::processEvents();
    QCOMPARE(fx_->prompter.Dialogs(), QStringList{QStringLiteral("orvanta::AboutDialog")});
    QCOMPARE(fx_->Window().Pages().CurrentIndex(), 0);
    // Search Intranet: the server login page, the flags untouched.
    page->Control<QAbstractButton>(StartPage::kIntranetButton)->click();
    QCoreApplication::processEvents();
    QCOMPARE(fx_->Window().Pages().CurrentIndex(), int(kPageServerLogin));
    QCOMPARE(fx_->Settings().StartSearch + fx_->Settings().StartSetup, 0);
}

void FirstPageTest::searchIntranetFollowsTheListingServer() {
    DeploymentSettings d;
    d.listingHost = QStringLiteral("127.0.0.1");
    StartPage* page = Start(d);
    QVERIFY(!page->Control<QAbstractButton>(StartPage::kIntranetButton)->isHidden());
    QVERIFY(page->Control<QAbstractButton>(StartPage::kUpgradeButton)->isHidden());
}

void FirstPageTest::missingKeysShowTheBuiltInEnglish() {
    fx_->WriteLanguage(QStringLiteral("English (ENG).ini"), QStringLiteral("[Other]\nx=y\n"));
    StartPage* page = Start();
    // A file without the page's keys: the English texts built into the
    // program, in the captions, the link text and the pictures' words.
    QCOMPARE(page->Control<QAbstractButton>(StartPage::kSearchButton)->text(), QStringLiteral("Search Camera"));
    QCOMPARE(page->Control<QAbstractButton>(StartPage::kSearchButton)->accessibleName(),
             QStringLiteral("Search Camera"));
    QCOMPARE(page->Control<QGroupBox>(StartPage::kNetworkBox)->title(), QStringLiteral("The Network Type"));
    QVERIFY(!page->NetworkText().isEmpty());
    QVERIFY(art::LabelledSvg(art::kFirstRouter).contains(">Cable/DSL modem<"));
    page->Control<QAbstractButton>(StartPage::kSearchButton)->click();
    QCoreApplication::processEvents();
    QCOMPARE(fx_->Window().Pages().CurrentIndex(), int(kPageSearch));
}

void FirstPageTest::aboutFromTheWindowMenu() {
    fx_->WriteLanguage(QStringLiteral("English (ENG).ini"),
                       kLanguage + QStringLiteral("[AboutDlg]\nInfo1=Orvanta 1.0\nInfo2=Line two\nDlgTitle=About it\n"
                                                  "BtnOK=Close\n"));
    WizardWindow& dlg = fx_->Start();
    QString title, info1, info2, ok;
    fx_->prompter.AnswerDialog([&](QDialog& d) {
        title = d.windowTitle();
        info1 = d.findChild<QLabel*>(QString::number(AboutDialog::kProductLine))->text();
        info2 = d.findChild<QLabel*>(QString::number(AboutDialog::kDetails))->text();
        ok = d.findChild<QPushButton*>(QString::number(AboutDialog::kOk))->text();
        return int(QDialog::Accepted);
    });
    auto* about = dlg.findChild<QAction*>(QStringLiteral("aboutAction"));
    QVERIFY(about);
    QVERIFY(dlg.actions().contains(about));
    about->trigger();
    QCOMPARE(title, QStringLiteral("About it"));
    QCOMPARE(info1, QStringLiteral("Orvanta 1.0"));
    QCOMPARE(info2, QStringLiteral("Line two"));
    QCOMPARE(ok, QStringLiteral("Close"));
    QCOMPARE(dlg.Pages().CurrentIndex(), 0);
}

QTEST_MAIN(FirstPageTest)
#include "first_page_test.moc"

void FirstPageTest::cardChoiceDrivesTheAdapterInUse() {
    using hostnet::Adapter;
    using hostnet::AdapterType;
    using hostnet::Ip;
    auto card = [](uint32_t index, const char* name, AdapterType type, const char* address, const char* gateway) {
        Adapter a;
        a.index = index;
        a.name = name;
        a.type = type;
        a.up = true;
        a.addresses = {{Ip(address), Ip("255.255.255.0")}};
        if (gateway) {
            a.gateways = {Ip(gateway)};
            a.defaultRoute = true;
        }
        return a;
    };
    // One card: nothing to choose, no choice shown.
    fx_->net.listing.adapters = {card(2, "eth0", AdapterType::Ethernet, "192.168.70.10", nullptr)};
    QVERIFY(Start()->CardChoice()->isHidden());
    fx_->CloseWindow();

    // The laptop: Wi-Fi with the default route, the camera cabled to eth0.
    fx_->net.listing.adapters = {card(2, "eth0", AdapterType::Ethernet, "192.168.70.10", nullptr),
                                 card(3, "wlan0", AdapterType::Wireless, "10.1.0.7", "10.1.0.1")};
    fx_->desktopInternet = kInternetYes;
    StartPage* page = Start();
    QComboBox* choice = page->CardChoice();
    QVERIFY(!choice->isHidden());
    QCOMPARE(choice->count(), 2);
    // The card in use is the one shown: the wired card wins the walk.
    QCOMPARE(fx_->Settings().HostIfIndex, 2u);
    QCOMPARE(choice->currentText(), QStringLiteral("eth0 (192.168.70.10)"));
    // No router on that LAN: still the PC's address, without a gateway.
    QCOMPARE(QByteArray(fx_->Settings().HostIP), QByteArray("192.168.70.10"));

    Choose(choice, choice->findText(QStringLiteral("wlan0 (10.1.0.7)")));
    QCOMPARE(fx_->Settings().HostIfIndex, 3u);
    QCOMPARE(QByteArray(fx_->Settings().HostIP), QByteArray("10.1.0.7"));
    QCOMPARE(fx_->Settings().HostNoAddress, uint8_t{0});
    QCOMPARE(page->NetworkText(), QStringLiteral("ETH\nFIXED"));
    // Temporary addresses now go on the chosen card.
    SelectedCamera(fx_->Settings(), "192.168.5.20");
    QVERIFY(hostnet::EnsureCameraSubnet(fx_->Settings(), fx_->net, fx_->Window().Aliases(), {0, 0}));
    QCOMPARE(fx_->net.present.front().ifIndex, 3u);
}

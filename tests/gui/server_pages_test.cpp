// The server login and server camera list pages: the refusals of an empty
// ID or password, the login type and credentials the query gets, the hand
// over to the list whatever the outcome (and no stale entries after a failed
// query), the localized login types, and the list's rows, double click and
// buttons.
#include <arpa/inet.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <cstring>

#include "core/settings/FixedField.h"
#include "gui/pages/ServerCameraListPage.h"
#include "gui/pages/ServerLoginPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

const char* kLanguage =
    "[LoginPage]\nMessage1=ID and password please\nDiviceLogin=Camera account\nUserLogin=Personal account\n"
    "[ServerPage]\nCamList=Registered\n";

ServerCameraEntry Entry(const char* id, const char* ip, const char* port, const char* mac, const char* model) {
    ServerCameraEntry e{};
    SetField(e.ID, id);
    SetField(e.IP, ip);
    SetField(e.Port, port);
    SetField(e.Mac_address, mac);
    SetField(e.Modelname, model);
    return e;
}

// What the page asked the listing server, and what the server answers.
struct ScriptedServer {
    struct Call {
        std::string id, password, host, port;
        ListingLogin login;
    };
    std::vector<Call> calls;
    std::optional<std::vector<ServerCameraEntry>> answer;
    uint32_t count = 0;

    decltype(FakeCameraService::queryServer) Function() {
        return [this](const ServerCredentials& c, uint32_t& countOut, const char* host, const char* port,
                      ListingLogin login) {
            calls.push_back({std::string(FieldText(c.ID)), std::string(FieldText(c.Password)), host, port, login});
            if (answer) countOut = count;
            return answer;
        };
    }
};

}  // namespace

class ServerPagesTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->WriteLanguage(QStringLiteral("English (ENG).ini"), QString::fromUtf8(kLanguage));
        fx_->deployment.listingHost = QStringLiteral("listing.lab");
        fx_->deployment.listingPort = 8081;
        login_ = std::make_unique<ServerLoginPage>();
        list_ = std::make_unique<ServerCameraListPage>();
        fx_->AttachPage(*login_);
        fx_->AttachPage(*list_);
        server_ = ScriptedServer{};
        fx_->camera.queryServer = server_.Function();
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        login_.reset();
        list_.reset();
        fx_.reset();
    }

    void emptyFieldsAreRefused_data();
    void emptyFieldsAreRefused();
    void queryTakesTypeAndCredentials_data();
    void queryTakesTypeAndCredentials();
    void failedQueryLeavesNoEntries();
    void languageRefillsLoginTypes();
    void listShowsAndOpensCameras();

private:
    void Type(const QString& id, const QString& password, int type = 0) {
        login_->Control<QLineEdit>(ServerLoginPage::kId)->setText(id);
        login_->Control<QLineEdit>(ServerLoginPage::kPassword)->setText(password);
        login_->Control<QComboBox>(ServerLoginPage::kLoginType)->setCurrentIndex(type);
    }
    // Next, then ShowServerCameraListPage as the main window runs it.
    void NextAndHandOver() {
        login_->NextButton()->click();
        list_->TakeEntries(*login_);
    }
    QTreeWidget* Rows() { return list_->Control<QTreeWidget>(ServerCameraListPage::kList); }

    std::unique_ptr<WizardFixture> fx_;
    std::unique_ptr<ServerLoginPage> login_;
    std::unique_ptr<ServerCameraListPage> list_;
    ScriptedServer server_;
};

void ServerPagesTest::emptyFieldsAreRefused_data() {
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("password");
    QTest::newRow("no password") << "owner" << "";
    QTest::newRow("no ID") << "" << "secret";
}

void ServerPagesTest::emptyFieldsAreRefused() {
    QFETCH(QString, id);
    QFETCH(QString, password);
    Type(id, password);
    fx_->prompter.Answer(PromptAnswer::Ok);
    login_->NextButton()->click();
    QCOMPARE(fx_->PromptTexts(), QStringList{"ID and password please"});
    QCOMPARE(fx_->prompter.Prompts()[0].caption, QString());
    QCOMPARE(fx_->prompter.Prompts()[0].icon, PromptIcon::Warning);
    QVERIFY(server_.calls.empty());
    QVERIFY(fx_->posted.empty());
}

void ServerPagesTest::queryTakesTypeAndCredentials_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("loginType");
    // Item 0 is the device login (3), item 1 the user login (2).
    QTest::newRow("device login") << 0 << "owner" << 3;
    QTest::newRow("user login") << 1 << "owner" << 2;
    // The edit takes 32 characters and all 32 reach the query.
    QTest::newRow("32-character ID") << 0 << QString(32, QLatin1Char('x')) << 3;
}

void ServerPagesTest::queryTakesTypeAndCredentials() {
    QFETCH(int, item);
    QFETCH(QString, id);
    QFETCH(int, loginType);
    server_.answer = std::vector<ServerCameraEntry>{};
    Type(id + QStringLiteral("overflow"), QStringLiteral("pw word"), item);
    NextAndHandOver();
    QCOMPARE(server_.calls.size(), std::size_t{1});
    const auto& c = server_.calls[0];
    QCOMPARE(QString::fromStdString(c.id), (id + QStringLiteral("overflow")).left(32));
    QCOMPARE(c.password, std::string("pw word"));
    QCOMPARE(c.host, std::string("listing.lab"));
    QCOMPARE(c.port, std::string("8081"));
    QCOMPARE(static_cast<int>(c.login), loginType);
    QCOMPARE(fx_->posted, std::vector<WizardCommand>{WizardCommand::ShowServerCameraListPage});
}

void ServerPagesTest::failedQueryLeavesNoEntries() {
    // A good query first, then one the server refuses: the list must not
    // keep showing the earlier cameras (nor a count without entries).
    server_.answer = std::vector<ServerCameraEntry>{Entry("c1", "10.1.1.1", "80", "00:00:00:00:00:01", "M1")};
    server_.count = 1;
    Type(QStringLiteral("a"), QStringLiteral("b"));
    NextAndHandOver();
    QCOMPARE(Rows()->topLevelItemCount(), 1);
    server_.answer.reset();
    NextAndHandOver();
    QCOMPARE(Rows()->topLevelItemCount(), 0);
    QVERIFY(login_->Entries().empty());
    QCOMPARE(fx_->posted, (std::vector<WizardCommand>{WizardCommand::ShowServerCameraListPage, WizardCommand::ShowServerCameraListPage}));
    // No listing server configured: nothing is asked, the list still follows.
    fx_->deployment.listingHost.clear();
    NextAndHandOver();
    QCOMPARE(server_.calls.size(), std::size_t{2});
    QCOMPARE(fx_->posted.size(), std::size_t{3});
}

void ServerPagesTest::languageRefillsLoginTypes() {
    QComboBox* type = login_->Control<QComboBox>(ServerLoginPage::kLoginType);
    QCOMPARE(type->count(), 2);
    QCOMPARE(type->itemText(0), QStringLiteral("Camera account"));
    QCOMPARE(type->itemText(1), QStringLiteral("Personal account"));
    type->setCurrentIndex(1);
    login_->ApplyLanguage(fx_->PageLanguage());
    QCOMPARE(type->count(), 2);
    QCOMPARE(type->currentIndex(), 0);
}

void ServerPagesTest::listShowsAndOpensCameras() {
    // Three announced, two delivered: only the two are listed.
    server_.answer = std::vector<ServerCameraEntry>{
        Entry("front", "10.20.30.40", "8080", "00:0E:53:AA:BB:01", "Dome <b>X</b>"),
        Entry("back", "10.20.30.41", "81", "00:0e:53:aa:bb:02", "Bullet")};
    server_.count = 3;
    Type(QStringLiteral("owner"), QStringLiteral("pw"));
    NextAndHandOver();
    QCOMPARE(Rows()->topLevelItemCount(), 2);
    QTreeWidgetItem* row = Rows()->topLevelItem(1);
    // Server text is shown as it came, never read as markup.
    QCOMPARE(Rows()->topLevelItem(0)->text(3), QStringLiteral("Dome <b>X</b>"));

    // Double click without a selection does nothing.
    emit Rows()->itemDoubleClicked(row, 0);
    QVERIFY(fx_->urls.opened.isEmpty());
    row->setSelected(true);
    emit Rows()->itemDoubleClicked(row, 0);
    QCOMPARE(fx_->urls.opened, QStringList{"http://10.20.30.41:81"});
    QCOMPARE(fx_->Settings().CamAddr, uint32_t(htonl(0x0A141E29)));
    const uint8_t mac[6] = {0x00, 0x0E, 0x53, 0xAA, 0xBB, 0x02};
    QVERIFY(std::memcmp(fx_->Settings().CamMAC, mac, 6) == 0);

    fx_->posted.clear();
    list_->BackButton()->click();
    list_->Control<QAbstractButton>(ServerCameraListPage::kFinish)->click();
    QCOMPARE(fx_->posted, (std::vector<WizardCommand>{WizardCommand::ShowServerLoginPage, WizardCommand::StartOver}));
}

QTEST_MAIN(ServerPagesTest)
#include "server_pages_test.moc"

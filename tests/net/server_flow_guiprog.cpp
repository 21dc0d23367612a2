// The camera-listing path of the real wizard, offscreen, from the PC
// namespace of the lab against the simulated listing server (address and
// port in ORVANTA_TEST_LISTING_HOST / ORVANTA_TEST_LISTING_PORT): the first
// page's "Search Intranet", the login page, the list of the server's
// cameras and the double click that opens one.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

#include "gui/pages/StartPage.h"
#include "gui/pages/ServerCameraListPage.h"
#include "gui/pages/ServerLoginPage.h"
#include "gui/framework/PageIndex.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

class ServerFlow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        DeploymentSettings deployment;
        deployment.listingHost = qEnvironmentVariable("ORVANTA_TEST_LISTING_HOST");
        deployment.listingPort = qEnvironmentVariableIntValue("ORVANTA_TEST_LISTING_PORT");
        QVERIFY2(deployment.HasListingServer(), "ORVANTA_TEST_LISTING_HOST is not set");
        fx_->networkCamera = true;
        fx_->StartInShippedEnglish(qEnvironmentVariable("ORVANTA_SOURCE_DIR"), deployment);
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        fx_.reset();
    }

    void deviceLoginListsTwoCameras();
    void refusedLoginsListNothing_data();
    void refusedLoginsListNothing();

private:
    // First page -> login page -> Next with these values -> list page.
    QTreeWidget* LogIn(const QString& id, const QString& password, int type) {
        WizardWindow& dlg = fx_->Window();
        auto* intranet = dlg.Page(kPageStart)->Control<QAbstractButton>(StartPage::kIntranetButton);
        if (!intranet || intranet->isHidden()) return nullptr;
        intranet->click();
        QCoreApplication::processEvents();
        if (dlg.Pages().CurrentIndex() != kPageServerLogin) return nullptr;
        WizardPage* login = dlg.Page(kPageServerLogin);
        login->Control<QLineEdit>(ServerLoginPage::kId)->setText(id);
        login->Control<QLineEdit>(ServerLoginPage::kPassword)->setText(password);
        login->Control<QComboBox>(ServerLoginPage::kLoginType)->setCurrentIndex(type);
        login->NextButton()->click();
        // The query runs on the worker: the list page follows its answer.
        if (!QTest::qWaitFor([&] { return dlg.Pages().CurrentIndex() == kPageServerCameraList; }, 30000))
            return nullptr;
        return dlg.Page(kPageServerCameraList)->Control<QTreeWidget>(ServerCameraListPage::kList);
    }

    std::unique_ptr<WizardFixture> fx_;
};

void ServerFlow::deviceLoginListsTwoCameras() {
    QTreeWidget* rows = LogIn(QStringLiteral("acct"), QStringLiteral("p&ss word"), 0);
    QVERIFY(rows);
    QCOMPARE(rows->topLevelItemCount(), 2);
    QCOMPARE(rows->topLevelItem(0)->text(0), QStringLiteral("10.94.0.10"));
    QCOMPARE(rows->topLevelItem(0)->text(1), QStringLiteral("cam-1"));
    QCOMPARE(rows->topLevelItem(1)->text(0), QStringLiteral("10.94.0.20"));
    QCOMPARE(rows->topLevelItem(1)->text(2), QStringLiteral("8080"));
    QCOMPARE(rows->topLevelItem(1)->text(3), QStringLiteral("OV-200"));
    QCOMPARE(rows->topLevelItem(1)->text(4), QStringLiteral("02:00:00:94:00:14"));

    rows->topLevelItem(1)->setSelected(true);
    emit rows->itemDoubleClicked(rows->topLevelItem(1), 0);
    QCOMPARE(fx_->urls.opened, QStringList{"http://10.94.0.20:8080"});
    QCOMPARE(fx_->Settings().CamMAC[5], uint8_t{0x14});

    // Finish leads back to the first page.
    fx_->Window().Page(kPageServerCameraList)->Control<QAbstractButton>(ServerCameraListPage::kFinish)->click();
    QCoreApplication::processEvents();
    QCOMPARE(fx_->Window().Pages().CurrentIndex(), int(kPageStart));
}

void ServerFlow::refusedLoginsListNothing_data() {
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("rows");
    // A wrong password on a device login: "Unauthorized", no list.
    QTest::newRow("device, wrong password") << "nope" << 0 << 0;
    // The device account's credentials as a user login: the server knows no
    // such user account and the page shows no rows.
    QTest::newRow("device account as user") << "p&ss word" << 1 << 0;
}

void ServerFlow::refusedLoginsListNothing() {
    QFETCH(QString, password);
    QFETCH(int, type);
    QFETCH(int, rows);
    QTreeWidget* list = LogIn(QStringLiteral("acct"), password, type);
    QVERIFY(list);
    QCOMPARE(list->topLevelItemCount(), rows);
}

QTEST_MAIN(ServerFlow)
#include "server_flow_guiprog.moc"

// The plan dialog offscreen, from the PC namespace of the provisioning lab:
// a faulty plan is refused with its problems, a good one is narrowed to the
// cameras chosen in the search list, checked (the dry run), then run to
// the end. ORVANTA_TEST_PLAN and ORVANTA_TEST_BAD_PLAN name the plans; the
// lab script checks what the cameras stored. ORVANTA_TEST_MIXED_PLAN (the
// ONVIF lab) is a plan of both kinds, narrowed to the MAC and endpoint
// references of ORVANTA_TEST_CHOSEN.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QFile>
#include <QTest>
#include <QTreeWidget>

#include "core/hostnet/HostNetwork.h"
#include "gui/dialogs/PlanDialog.h"

using namespace orvanta;

class ProvisionDialog : public QObject {
    Q_OBJECT
private slots:
    void faultyPlanIsRefusedWithItsProblems();
    void chosenCamerasAreCheckedThenSetUp();
    void mixedPlanChecksThenSetsUpBothKinds();

private:
    std::string Language() const {
        return qEnvironmentVariable("ORVANTA_SOURCE_DIR").toStdString() + "/lang/English (ENG).ini";
    }
};

void ProvisionDialog::faultyPlanIsRefusedWithItsProblems() {
    if (qEnvironmentVariable("ORVANTA_TEST_BAD_PLAN").isEmpty()) QSKIP("no faulty plan given");
    PlanDialog dialog(Language(), {}, nullptr);
    QVERIFY(!dialog.LoadPlan(qEnvironmentVariable("ORVANTA_TEST_BAD_PLAN")));
    QVERIFY(dialog.Problems()->text().contains(QStringLiteral("unknown column 'colour'")));
    QVERIFY(dialog.Problems()->text().contains(QStringLiteral("names the same camera")));
    QCOMPARE(dialog.Problems()->textFormat(), Qt::PlainText);
    QCOMPARE(dialog.Rows()->topLevelItemCount(), 0);
    QVERIFY(!dialog.RunButton()->isEnabled());
    QVERIFY(!dialog.Busy());
}

void ProvisionDialog::chosenCamerasAreCheckedThenSetUp() {
    if (qEnvironmentVariable("ORVANTA_TEST_PLAN").isEmpty()) QSKIP("no plan given");
    std::unique_ptr<hostnet::HostNetwork> net = hostnet::MakeLinuxHostNetwork();
    // Three of the plan's four cameras are chosen; cam5's password is wrong.
    PlanDialog dialog(Language(),
                         {QStringLiteral("02:00:00:94:00:01"), QStringLiteral("02:00:00:94:00:02"),
                          QStringLiteral("02:00:00:94:00:05")},
                         net.get());
    dialog.show();
    QVERIFY(dialog.LoadPlan(qEnvironmentVariable("ORVANTA_TEST_PLAN")));
    QTreeWidget* rows = dialog.Rows();
    QCOMPARE(rows->topLevelItemCount(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(dialog.RunButton()->isEnabled(), 40000);
    QCOMPARE(rows->topLevelItem(0)->text(1), QStringLiteral("Will change"));
    QVERIFY(rows->topLevelItem(0)->text(2).contains(QStringLiteral("title: Site cam 1 \u2192 Dialog 1")));
    QCOMPARE(rows->topLevelItem(2)->text(1), QStringLiteral("Password refused"));

    dialog.RunButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Busy() && dialog.Progress()->value() == 3, 60000);
    QCOMPARE(rows->topLevelItem(0)->text(1), QStringLiteral("Done"));
    QCOMPARE(rows->topLevelItem(1)->text(1), QStringLiteral("Done"));
    QCOMPARE(rows->topLevelItem(2)->text(1), QStringLiteral("Password refused"));
    QVERIFY(!dialog.RunButton()->isEnabled());
}

void ProvisionDialog::mixedPlanChecksThenSetsUpBothKinds() {
    if (qEnvironmentVariable("ORVANTA_TEST_MIXED_PLAN").isEmpty()) QSKIP("no mixed plan given");
    std::unique_ptr<hostnet::HostNetwork> net = hostnet::MakeLinuxHostNetwork();
    const QStringList chosen = qEnvironmentVariable("ORVANTA_TEST_CHOSEN").split(QLatin1Char(','));
    PlanDialog dialog(Language(), chosen, net.get());
    dialog.show();
    QVERIFY(dialog.LoadPlan(qEnvironmentVariable("ORVANTA_TEST_MIXED_PLAN")));
    QTreeWidget* rows = dialog.Rows();
    QCOMPARE(rows->topLevelItemCount(), chosen.size());
    QTRY_VERIFY_WITH_TIMEOUT(dialog.RunButton()->isEnabled(), 60000);
    QVERIFY(!dialog.ReportButton()->isEnabled());  // a dry run sets nothing up to report
    for (int i = 0; i < rows->topLevelItemCount(); ++i)
        QVERIFY2(rows->topLevelItem(i)->text(1) == QStringLiteral("Will change"),
                 qPrintable(rows->topLevelItem(i)->text(0) + QStringLiteral(": ") + rows->topLevelItem(i)->text(1)));
    dialog.RunButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Busy() && dialog.Progress()->value() == chosen.size(), 120000);
    for (int i = 0; i < rows->topLevelItemCount(); ++i)
        QVERIFY2(rows->topLevelItem(i)->text(1) == QStringLiteral("Done"),
                 qPrintable(rows->topLevelItem(i)->text(0) + QStringLiteral(": ") + rows->topLevelItem(i)->text(1)));
    // The handover report of the run: the ONVIF cameras read again (on the
    // worker) with their pictures; the lab script reads the file.
    const QString report = qEnvironmentVariable("ORVANTA_TEST_REPORT");
    if (report.isEmpty()) return;
    QVERIFY(dialog.ReportButton()->isEnabled());
    dialog.SaveReportTo(report);
    QVERIFY(dialog.Busy());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.Busy(), 60000);
    QVERIFY(QFile::exists(report));
    QVERIFY(dialog.ReportButton()->isEnabled());
}

QTEST_MAIN(ProvisionDialog)
#include "provision_dialog_guiprog.moc"

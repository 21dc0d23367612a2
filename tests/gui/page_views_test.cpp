// Every page's view: each control lies inside the page, has a name for
// assistive tools, and the controls a page hides are hidden; the step
// titles use the title font. With ORVANTA_SCREENSHOT_DIR set, a picture of
// the window on every page is saved there.
#include <QAbstractButton>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include "gui/pages/CWizardPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

class PageViewsTest : public QObject {
    Q_OBJECT
private slots:
    void controlsInsideAndNamed();
    void hiddenControls_data();
    void hiddenControls();
    void screenshots();

private:
    void StartShipped(WizardFixture& fx) {
        fx.CopyShippedLanguages(QStringLiteral(ORVANTA_SOURCE_DIR));
        fx.RememberLanguage(QStringLiteral("English (ENG).ini"));
        fx.Start();
    }
};

void PageViewsTest::controlsInsideAndNamed() {
    WizardFixture fx;
    StartShipped(fx);
    for (int i = 0; i < kPageCount; ++i) {
        CWizardPage* page = fx.Dlg().Page(i);
        const QRect bounds(QPoint(0, 0), page->size());
        for (QWidget* w : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const QString where = QStringLiteral("page %1 control %2").arg(page->TemplateId()).arg(w->objectName());
            QVERIFY2(bounds.contains(w->geometry()), qPrintable(where + QStringLiteral(" leaves the page")));
            QVERIFY2(!w->objectName().isEmpty(), qPrintable(where + QStringLiteral(" has no object name")));
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(where + QStringLiteral(" has no accessible name")));
        }
        if (QLabel* title = page->StepTitle()) {
            // The title font, shrunk only as far as the caption needs to fit whole.
            QCOMPARE(title->font().family(), CWizardPage::TitleFont().family());
            QVERIFY(title->font().pixelSize() <= CWizardPage::TitleFont().pixelSize());
            const QRect needed = QFontMetrics(title->font())
                                     .boundingRect(title->contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, title->text());
            QVERIFY2(needed.height() <= title->contentsRect().height() && needed.width() <= title->contentsRect().width(),
                     qPrintable(QStringLiteral("title of page %1 is clipped").arg(page->TemplateId())));
        }
    }
}

void PageViewsTest::hiddenControls_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("id");
    // Controls the templates create hidden and nothing shows.
    QTest::newRow("wireless ip exit") << int(kPageWLANIP) << 1106;
    QTest::newRow("server login exit") << int(kPageLogin) << 1046;
    QTest::newRow("wireless ap key 2 edit") << int(kPageWLANAP) << 1143;
    QTest::newRow("wireless ap key radio") << int(kPageWLANAP) << 1138;
    QTest::newRow("setup finished camera id") << int(kPageSetupFinish) << 1250;
    QTest::newRow("wps picture second step") << int(kPageWPSPic) << 1303;
    QTest::newRow("choice ok") << int(kPageChoose) << 1;
    QTest::newRow("option title") << int(kPageOption) << 1243;
}

void PageViewsTest::hiddenControls() {
    QFETCH(int, page);
    QFETCH(int, id);
    WizardFixture fx;
    StartShipped(fx);
    fx.Dlg().show();
    QWidget* w = fx.Dlg().Page(page)->Control(id);
    QVERIFY(w);
    QVERIFY(w->isHidden());
}

void PageViewsTest::screenshots() {
    const QString dir = qEnvironmentVariable("ORVANTA_SCREENSHOT_DIR");
    if (dir.isEmpty()) QSKIP("ORVANTA_SCREENSHOT_DIR not set");
    QDir().mkpath(dir);
    WizardFixture fx;
    StartShipped(fx);
    fx.Dlg().show();
    for (int i = 0; i < kPageCount; ++i) {
        fx.Dlg().Pages().ShowPage(i);
        QVERIFY(fx.Dlg().grab().save(QStringLiteral("%1/page-%2.png").arg(dir).arg(i, 2, 10, QLatin1Char('0'))));
    }
}

QTEST_MAIN(PageViewsTest)
#include "page_views_test.moc"

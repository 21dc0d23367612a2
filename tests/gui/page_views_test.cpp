// Every page's view: each control lies inside the page, has a name for
// assistive tools, and the controls a page hides are hidden; the step
// titles use the title font; in every shipped language every caption of
// every page and dialog fits its control (run at 100% and, as
// gui_page_views_test_200, at 200%). With ORVANTA_SCREENSHOT_DIR set, a
// picture of the window on every page is saved there. With
// ORVANTA_CHECK_LANGUAGE naming a language file, the fit test checks that
// file alone (scripts/check-language uses this).
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include "core/i18n/LanguageStrings.h"
#include "gui/app/CSubWait.h"
#include "gui/controls/CaptionLayout.h"
#include "gui/dialogs/CAboutDlg.h"
#include "gui/dialogs/CDlgLanguage.h"
#include "gui/dialogs/CDlgLoginRoot.h"
#include "gui/pages/CWizardPage.h"
#include "support/CaptionFit.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

class PageViewsTest : public QObject {
    Q_OBJECT
private slots:
    void controlsInsideAndNamed();
    void hiddenControls_data();
    void hiddenControls();
    void captionsFitInEveryLanguage_data();
    void captionsFitInEveryLanguage();
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
            // The title font; smaller only where the caption needs two lines,
            // and never below the normal text size.
            QCOMPARE(title->font().family(), CWizardPage::TitleFont().family());
            QVERIFY(title->font().pixelSize() <= CWizardPage::TitleFont().pixelSize());
            QVERIFY(title->font().pixelSize() >= QFontInfo(QApplication::font()).pixelSize());
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

void PageViewsTest::captionsFitInEveryLanguage_data() {
    QTest::addColumn<QString>("file");
    const QString one = qEnvironmentVariable("ORVANTA_CHECK_LANGUAGE");
    if (!one.isEmpty()) {
        QTest::newRow(qPrintable(QFileInfo(one).fileName())) << QFileInfo(one).absoluteFilePath();
        return;
    }
    const QDir lang(QStringLiteral(ORVANTA_SOURCE_DIR "/lang"));
    for (const QString& name : lang.entryList({QStringLiteral("*.ini")}, QDir::Files))
        QTest::newRow(qPrintable(name)) << lang.filePath(name);
}

void PageViewsTest::captionsFitInEveryLanguage() {
    QFETCH(QString, file);
    WizardFixture fx;
    const QString name = QFileInfo(file).fileName();
    QVERIFY(QFile::copy(file, fx.LanguageDir() + name));
    fx.RememberLanguage(name);
    fx.Start();
    fx.Dlg().show();
    CaptionFit fit;
    for (int i = 0; i < kPageCount; ++i) {
        fx.Dlg().Pages().ShowPage(i);
        CWizardPage* page = fx.Dlg().Page(i);
        CheckCaptions(page, QStringLiteral("page %1").arg(page->TemplateId()), &fit);
    }
    // The search button's other captions, as a search shows them.
    const std::string path = fx.Dlg().LanguageFilePath();
    const LanguageStrings lang(path);
    fx.Dlg().Pages().ShowPage(kPageSearchNet);
    CWizardPage* search = fx.Dlg().Page(kPageSearchNet);
    for (const char* key : {"BtnFindingCam", "BtnStopFind"}) {
        search->Control<QAbstractButton>(1088)->setText(QString::fromStdString(lang.Get("SearchPage", key)));
        FitCaptions(search);  // as the page does when it changes the caption
        CheckCaptions(search, QStringLiteral("search"), &fit);
    }
    CAboutDlg about(path, &fx.Dlg());
    CheckCaptions(&about, QStringLiteral("about"), &fit);
    CDlgLoginRoot login(path, &fx.Dlg());
    CheckCaptions(&login, QStringLiteral("login"), &fit);
    CDlgLanguage chooser({name.chopped(4).toStdString()}, 0, {}, &fx.Dlg());
    CheckCaptions(&chooser, QStringLiteral("language"), &fit);
    // The wait window shows each of its notes in turn.
    CSubWait wait(&fx.Dlg());
    for (const std::string& note : fx.Dlg().Messages().note) {
        wait.SetText(QString::fromStdString(note));
        wait.show();
        CheckCaptions(&wait, QStringLiteral("wait"), &fit);
    }
    qInfo("%s: tightest caption %.0f%% of its control: %s", qPrintable(name), fit.worstRatio * 100,
          qPrintable(fit.worstCaption));
    qInfo("%s: longest caption %.0f%% of its template rectangle: %s", qPrintable(name),
          fit.worstTemplateRatio * 100, qPrintable(fit.worstTemplateCaption));
    QVERIFY2(fit.problems.isEmpty(), qPrintable(fit.problems.join(QLatin1Char('\n'))));
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

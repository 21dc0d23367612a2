// Every page's view: each control lies inside the page, is announced to
// assistive tools by its visible label in the right role (the step picture
// beside a title as decoration), and the controls a page hides are hidden;
// the step titles use the title font and the summary has one; the About
// dialog's texts fit at any scale; in every shipped language every caption of
// every page and dialog fits its control (run at 100% and, as
// gui_page_views_test_200, at 200%). With ORVANTA_SCREENSHOT_DIR set, a
// picture of the window on every page is saved there. With
// ORVANTA_CHECK_LANGUAGE naming a language file, the fit test checks that
// file alone (scripts/check-language uses this).
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include "core/i18n/IniDocument.h"
#include "core/i18n/LanguageStrings.h"
#include "gui/pages/SearchPage.h"
#include "gui/app/WaitDialog.h"
#include "gui/controls/Ipv4AddressEdit.h"
#include "gui/controls/CaptionLayout.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/LanguageDialog.h"
#include "gui/dialogs/RootLoginDialog.h"
#include "gui/pages/DdnsPage.h"
#include "gui/pages/OptionPage.h"
#include "gui/pages/WirelessAddressPage.h"
#include "gui/pages/UpnpPortsPage.h"
#include "gui/pages/WirelessNetworkPage.h"
#include "gui/pages/WpsPicturePage.h"
#include "gui/pages/QuickAddressPage.h"
#include "gui/framework/WizardPage.h"
#include "support/CaptionFit.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

class PageViewsTest : public QObject {
    Q_OBJECT
private slots:
    void controlsInsideAndNamed();
    void announcedByLabelAndRole();
    void aboutTextsFit_data();
    void aboutTextsFit();
    void hiddenControls_data();
    void hiddenControls();
    void captionsFitInEveryLanguage_data();
    void captionsFitInEveryLanguage();
    void screenshots();

private:
    void StartShipped(WizardFixture& fx) { fx.StartInShippedEnglish(QStringLiteral(ORVANTA_SOURCE_DIR)); }
};

void PageViewsTest::controlsInsideAndNamed() {
    WizardFixture fx;
    StartShipped(fx);
    for (int i = 0; i < kPageCount; ++i) {
        WizardPage* page = fx.Window().Page(i);
        const QRect bounds(QPoint(0, 0), page->size());
        for (QWidget* w : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const QString where = QStringLiteral("page %1 control %2").arg(page->TemplateId()).arg(w->objectName());
            QVERIFY2(bounds.contains(w->geometry()), qPrintable(where + QStringLiteral(" leaves the page")));
            QVERIFY2(!w->objectName().isEmpty(), qPrintable(where + QStringLiteral(" has no object name")));
        }
        if (QLabel* title = page->StepTitle()) {
            // The title font; smaller only where the caption needs two lines,
            // and never below the normal text size.
            QCOMPARE(title->font().family(), WizardPage::TitleFont().family());
            QVERIFY(title->font().pixelSize() <= WizardPage::TitleFont().pixelSize());
            QVERIFY(title->font().pixelSize() >= QFontInfo(QApplication::font()).pixelSize());
        }
    }
    // The summary's step picture has its title beside it.
    const QLabel* summary = fx.Window().Page(kPageSummary)->StepTitle();
    QVERIFY(summary && !summary->isHidden());
    QCOMPARE(summary->text(), QStringLiteral("Check the Settings"));
}

void PageViewsTest::announcedByLabelAndRole() {
    WizardFixture fx;
    StartShipped(fx);
    fx.Window().show();
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&fx.Window());
    QVERIFY(window);
    QVERIFY(window->role() == QAccessible::Dialog || window->role() == QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Travolis2"));

    // Names that say nothing about what the control is for.
    const QRegularExpression generic(QStringLiteral("^(Control( \\d+)?|IP address|List|Picture)$"));
    int checked = 0;
    QStringList unnamed;
    for (int i = 0; i < kPageCount; ++i) {
        WizardPage* page = fx.Window().Page(i);
        for (QWidget* w : page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY(a);
            const QString where = QStringLiteral("page %1 control %2").arg(page->TemplateId()).arg(w->objectName());
            // An empty label says nothing and is passed over by readers.
            if (auto* label = qobject_cast<QLabel*>(w); label && label->text().isEmpty() && label->pixmap().isNull())
                continue;
            // The step picture decorates the title, which says the step: no
            // name of its own, the title as its description.
            if (w->objectName() == QLatin1String("titleIcon")) {
                QVERIFY2(a->text(QAccessible::Name).isEmpty(), qPrintable(where + QStringLiteral(" has a name")));
                QCOMPARE(a->text(QAccessible::Description), WizardPage::AccessibleText(page->StepTitle()->text()));
                continue;
            }
            // On Linux a combo box says its current entry as its name; its
            // label reaches the screen reader as a relation (checked below).
            const bool combo = qobject_cast<QComboBox*>(w) != nullptr;
            const QString name = combo ? w->accessibleName() : a->text(QAccessible::Name);
            // A generic name is fine where it is what the screen shows.
            const auto* buddyOf = [&]() -> QLabel* {
                for (QLabel* l : page->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
                    if (l->buddy() == w) return l;
                return nullptr;
            }();
            const QString shown = qobject_cast<QLabel*>(w) ? static_cast<QLabel*>(w)->text()
                                  : buddyOf                ? buddyOf->text()
                                                           : QString();
            if (name.isEmpty() || (generic.match(name).hasMatch() && WizardPage::AccessibleText(shown) != name))
                unnamed << where + QStringLiteral(" is announced as \"%1\"").arg(name);
            if (qobject_cast<QRadioButton*>(w)) QVERIFY2(a->role() == QAccessible::RadioButton, qPrintable(where));
            if (qobject_cast<QCheckBox*>(w)) QVERIFY2(a->role() == QAccessible::CheckBox, qPrintable(where));
            if (qobject_cast<QComboBox*>(w)) QVERIFY2(a->role() == QAccessible::ComboBox, qPrintable(where));
            if (qobject_cast<QLineEdit*>(w))
                QVERIFY2(a->role() == QAccessible::EditableText, qPrintable(where));
            // A labelled input carries exactly its label's words.
            for (QLabel* label : page->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (label->buddy() != w || label->text().isEmpty()) continue;
                QCOMPARE(name, WizardPage::AccessibleText(label->text()));
                if (!combo) continue;
                bool related = false;
                for (const auto& [other, relation] : a->relations(QAccessible::Label))
                    related = related || other->object() == label;
                QVERIFY2(related, qPrintable(where + QStringLiteral(" is not labelled by its label")));
            }
            ++checked;
        }
    }
    qInfo("controls checked: %d", checked);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
    // Inputs the walk must have found labelled: an address control, a
    // combo box and an edit of the templates.
    QCOMPARE(fx.Window().Page(kPageQuickAddress)->Control(QuickAddressPage::kMask)->accessibleName(),
             WizardPage::AccessibleText(fx.Window().Page(kPageQuickAddress)->Control<QLabel>(QuickAddressPage::kMaskLabel)->text()));
    QCOMPARE(fx.Window().Page(kPageDynamicDns)->Control(DdnsPage::kProvider)->accessibleName(),
             WizardPage::AccessibleText(fx.Window().Page(kPageDynamicDns)->Control<QLabel>(DdnsPage::kProviderLabel)->text()));
    QCOMPARE(fx.Window().Page(kPageUpnpPorts)->Control(UpnpPortsPage::kStreamPort)->accessibleName(),
             WizardPage::AccessibleText(
                 fx.Window().Page(kPageUpnpPorts)->Control<QLabel>(UpnpPortsPage::kStreamPortLabel)->text()));
    // The language's mnemonic: Alt+N presses Next, and is not read out.
    QAbstractButton* next = fx.Window().Page(kPageDynamicDns)->NextButton();
    QCOMPARE(next->shortcut(), QKeySequence(QKeySequence::mnemonic(QStringLiteral("&Next"))));
    QCOMPARE(next->accessibleName(), QStringLiteral("Next"));
}

void PageViewsTest::aboutTextsFit_data() {
    QTest::addColumn<qreal>("scale");
    QTest::newRow("100%") << 1.0;
    QTest::newRow("200%") << 2.0;
}

void PageViewsTest::aboutTextsFit() {
    QFETCH(qreal, scale);
    WizardFixture fx;
    fx.CopyShippedLanguages(QStringLiteral(ORVANTA_SOURCE_DIR));
    // A long text in the language file as well as the shipped ones.
    fx.WriteLanguage(QStringLiteral("Long (LNG).ini"),
                     QStringLiteral("[AboutDlg]\nDlgTitle=About\nInfo1=%1\nInfo2=%2\nBtnOK=OK\n")
                         .arg(QStringLiteral("Orvanta camera setup wizard ").repeated(4),
                              QStringLiteral("Finds the cameras on your network and sets them up. ").repeated(6)));
    for (const QString file : {QStringLiteral("English (ENG).ini"), QStringLiteral("Long (LNG).ini")}) {
        AboutDialog dlg((fx.LanguageDir() + file).toStdString());
        QFont font = dlg.font();
        font.setPointSizeF(font.pointSizeF() * scale);
        dlg.setFont(font);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QRect inside = dlg.rect();
        QList<QWidget*> parts;
        for (const QString& id : {QString::number(AboutDialog::kProductLine), QString::number(AboutDialog::kDetails),
                                  QString::number(AboutDialog::kOk), QStringLiteral("icon")})
            parts << dlg.findChild<QWidget*>(id);
        for (QWidget* w : parts) {
            QVERIFY(w);
            QVERIFY2(inside.contains(w->geometry()), qPrintable(file + QLatin1Char(' ') + w->objectName()));
            if (auto* label = qobject_cast<QLabel*>(w); label && label->wordWrap())
                QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                         qPrintable(file + QStringLiteral(": text %1 is cut").arg(w->objectName())));
            for (QWidget* other : parts)
                if (other != w) QVERIFY2(!w->geometry().intersects(other->geometry()), qPrintable(file + QStringLiteral(" overlap")));
        }
    }
}

void PageViewsTest::hiddenControls_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("id");
    // Controls the templates create hidden and nothing shows.
    QTest::newRow("wireless ip exit") << int(kPageWirelessAddress) << int(WirelessAddressPage::kExit);
    QTest::newRow("server login exit") << int(kPageServerLogin) << 1046;
    QTest::newRow("wireless ap key 2 edit") << int(kPageWirelessNetwork) << int(WirelessNetworkPage::kSpareKey2);
    QTest::newRow("wireless ap key radio") << int(kPageWirelessNetwork) << int(WirelessNetworkPage::kKeyRadio1);
    QTest::newRow("setup finished camera id") << int(kPageSetupFinished) << 1250;
    QTest::newRow("wps picture second step") << int(kPageWpsPicture) << int(WpsPicturePage::kSpareStep);
    QTest::newRow("option title") << int(kPageOption) << int(OptionPage::kTitle);
}

void PageViewsTest::hiddenControls() {
    QFETCH(int, page);
    QFETCH(int, id);
    WizardFixture fx;
    StartShipped(fx);
    fx.Window().show();
    QWidget* w = fx.Window().Page(page)->Control(id);
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

namespace {

// Every key a page's tables name is filled in the file, whole within the
// capacity the page reads it with, and every row names a control that exists.
void CheckTables(const WizardPage* page, const IniDocument& doc, QStringList* problems) {
    const std::string section = page->Section();
    auto check = [&](const char* key, std::size_t capacity) {
        const std::string full = doc.Get(section, key, 1u << 20);
        if (full.empty())
            *problems << QStringLiteral("[%1] %2 missing").arg(page->Section(), key);
        else if (doc.Get(section, key, capacity) != full)
            *problems << QStringLiteral("[%1] %2 longer than %3").arg(page->Section(), key).arg(capacity - 1);
    };
    if (page->TitleKey()) check(page->TitleKey(), page->TitleCapacity());
    for (const WizardPage::CaptionRow& row : page->CaptionTable()) {
        if (!row.control) *problems << QStringLiteral("[%1] %2 has no control").arg(page->Section(), row.key);
        check(row.key, row.capacity);
    }
    for (const WizardPage::KeptRow& row : page->KeptTable()) check(row.key, row.capacity);
}

}  // namespace

void PageViewsTest::captionsFitInEveryLanguage() {
    QFETCH(QString, file);
    WizardFixture fx;
    const QString name = QFileInfo(file).fileName();
    QVERIFY(QFile::copy(file, fx.LanguageDir() + name));
    fx.RememberLanguage(name);
    fx.Start();
    fx.Window().show();
    CaptionFit fit;
    IniDocument doc;
    QVERIFY(IniDocument::Load(file.toStdString(), &doc));
    for (int i = 0; i < kPageCount; ++i) {
        fx.Window().Pages().ShowPage(i);
        WizardPage* page = fx.Window().Page(i);
        CheckCaptions(page, QStringLiteral("page %1").arg(page->TemplateId()), &fit);
        CheckTables(page, doc, &fit.problems);
    }
    // The search button's other captions, as a search shows them.
    const std::string path = fx.Window().LanguageFilePath();
    const LanguageStrings lang(path);
    fx.Window().Pages().ShowPage(kPageSearch);
    WizardPage* search = fx.Window().Page(kPageSearch);
    for (const char* key : {"BtnFindingCam", "BtnStopFind"}) {
        search->Control<QAbstractButton>(SearchPage::kSearchButton)->setText(QString::fromStdString(lang.Get("SearchPage", key)));
        FitCaptions(search);  // as the page does when it changes the caption
        CheckCaptions(search, QStringLiteral("search"), &fit);
    }
    AboutDialog about(path, &fx.Window());
    CheckCaptions(&about, QStringLiteral("about"), &fit);
    RootLoginDialog login(path, &fx.Window());
    CheckCaptions(&login, QStringLiteral("login"), &fit);
    LanguageDialog chooser({name.chopped(4).toStdString()}, 0, {}, &fx.Window());
    CheckCaptions(&chooser, QStringLiteral("language"), &fit);
    // The wait window shows each of its notes in turn.
    WaitDialog wait(&fx.Window());
    const WizardMessages& messages = fx.Window().Messages();
    for (const std::string& note : {messages.reading, messages.saving, messages.refinding}) {
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
    fx.Window().show();
    for (int i = 0; i < kPageCount; ++i) {
        fx.Window().Pages().ShowPage(i);
        QVERIFY(fx.Window().grab().save(QStringLiteral("%1/page-%2.png").arg(dir).arg(i, 2, 10, QLatin1Char('0'))));
    }
}

QTEST_MAIN(PageViewsTest)
#include "page_views_test.moc"

// Choosing the language: asked at the first start, remembered afterwards,
// changed from the first page with every page re-captioned at once (hidden
// ones too) while typed values stay; and the chooser's own behaviour.
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "gui/pages/SetupFinishedPage.h"
#include "gui/controls/Art.h"
#include "gui/dialogs/LanguageDialog.h"
#include "gui/pages/StartPage.h"
#include "gui/pages/LanAddressPage.h"
#include "gui/pages/SummaryPage.h"
#include "gui/pages/WirelessNetworkPage.h"
#include "gui/framework/WizardPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

QString LanguageFile(const QString& tag) {
    return QStringLiteral(
               "[Common]\nBtnBack=%1 back\nBtnNext=%1 next\nBtnFinish=%1 finish\nBtnSave=%1 save\n"
               "[FirstPage]\nBtn_FindCam=%1 find\nLinkNotConnect=%1 offline\n"
               "[LANPage]\nTitleLAN=%1 lan title\nIP=%1 address\n"
               "[WizardDlg]\nMessage2=%1 failed\n"
               "[Pictures]\nModem=%1 modem with a name far too long for one line\n")
        .arg(tag);
}

// Picks `name` in the chooser and presses OK.
std::function<int(QDialog&)> Choose(const QString& name) {
    return [name](QDialog& d) {
        auto& chooser = dynamic_cast<LanguageDialog&>(d);
        chooser.Combo()->setEditText(name);
        chooser.Confirm();
        return int(QDialog::Accepted);
    };
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->WriteLanguage(QStringLiteral("English (ENG).ini"), LanguageFile(QStringLiteral("EN")));
        fx_->WriteLanguage(QStringLiteral("Second (CHT).ini"), LanguageFile(QStringLiteral("ZH")));
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        QVERIFY(fx_->prompter.AllAnswersUsed());
        fx_.reset();
    }

    void firstStartAsksAndRemembers();
    void rememberedLanguageIsNotAsked();
    void changeRecaptionsEveryPage();
    void chooserListsAfreshAndKeepsLastAnswer();
    void chooserPreselectsTheUsersLanguage_data();
    void chooserPreselectsTheUsersLanguage();

private:
    std::unique_ptr<WizardFixture> fx_;
};

void LanguageTest::firstStartAsksAndRemembers() {
    fx_->prompter.AnswerDialog(Choose(QStringLiteral("Second (CHT)")));
    WizardWindow& dlg = fx_->Start();
    QCOMPARE(fx_->prompter.Dialogs(), QStringList{QStringLiteral("orvanta::LanguageDialog")});
    QCOMPARE(fx_->RememberedLanguage(), QStringLiteral("Second (CHT).ini"));
    QCOMPARE(QString::fromStdString(dlg.LanguageFileName()), QStringLiteral("Second (CHT).ini"));
    QCOMPARE(dlg.Page(kPageStart)->Control<QAbstractButton>(StartPage::kSearchButton)->text(),
             QStringLiteral("ZH find"));
    QCOMPARE(QString::fromStdString(dlg.Messages().noAnswer), QStringLiteral("ZH failed"));
}

void LanguageTest::rememberedLanguageIsNotAsked() {
    fx_->RememberLanguage(QStringLiteral("English (ENG).ini"));
    WizardWindow& dlg = fx_->Start();
    QVERIFY(fx_->prompter.Dialogs().isEmpty());
    QCOMPARE(dlg.Page(kPageLanAddress)->StepTitle()->text(), QStringLiteral("EN lan title"));
}

void LanguageTest::changeRecaptionsEveryPage() {
    fx_->RememberLanguage(QStringLiteral("English (ENG).ini"));
    WizardWindow& dlg = fx_->Start();
    // Something typed on a hidden page survives the change.
    auto* ssid = dlg.Page(kPageWirelessNetwork)->Control<QLineEdit>(WirelessNetworkPage::kSsid);
    QVERIFY(ssid);
    ssid->setText(QStringLiteral("typed"));

    fx_->prompter.AnswerDialog(Choose(QStringLiteral("Second (CHT)")));
    dlg.Page(kPageStart)->Control<QAbstractButton>(StartPage::kLanguageButton)->click();
    QCoreApplication::processEvents();

    QCOMPARE(fx_->RememberedLanguage(), QStringLiteral("Second (CHT).ini"));
    QCOMPARE(dlg.Pages().CurrentIndex(), int(kPageStart));
    QVERIFY(!dlg.Page(kPageStart)->isHidden());
    QCOMPARE(dlg.Page(kPageStart)->Control<QAbstractButton>(StartPage::kSearchButton)->text(),
             QStringLiteral("ZH find"));
    // The first page's box is refilled in the new language.
    QCOMPARE(dlg.FirstPage()->NetworkText(), QStringLiteral("ZH offline"));
    QCOMPARE(dlg.Page(kPageLanAddress)->StepTitle()->text(), QStringLiteral("ZH lan title"));
    QCOMPARE(dlg.Page(kPageLanAddress)->Control<QLabel>(LanAddressPage::kAddressLabel)->text(), QStringLiteral("ZH address"));
    // The words in the pictures too, wrapped where the picture leaves them
    // too little room; a word the file lacks stays English.
    const QString svg = QString::fromUtf8(art::LabelledSvg(art::kFirstRouter));
    QVERIFY2(svg.contains(QStringLiteral(">ZH modem ")), qPrintable(svg));
    QVERIFY(svg.count(QStringLiteral("data-key=\"Modem\"")) >= 2);
    QVERIFY(svg.contains(QStringLiteral(">Router<")));
    // Every page's Back/Next/Finish/Save is in the new language.
    int buttons = 0;
    for (int i = 0; i < kPageCount; ++i) {
        WizardPage* page = dlg.Page(i);
        for (auto* b : page->findChildren<ToolbarButton*>()) {
            if (b == page->BackButton()) {
                QCOMPARE(b->text(), QStringLiteral("ZH back"));
                ++buttons;
            } else if (b == page->NextButton()) {
                QCOMPARE(b->text(), QStringLiteral("ZH next"));
                ++buttons;
            }
        }
    }
    QVERIFY(buttons >= 36);
    QCOMPARE(dlg.Page(kPageSetupFinished)->Control<QAbstractButton>(SetupFinishedPage::kFinish)->text(), QStringLiteral("ZH finish"));
    QCOMPARE(dlg.Page(kPageSummary)->Control<QAbstractButton>(SummaryPage::kSave)->text(),
             QStringLiteral("ZH save"));
    QCOMPARE(QString::fromStdString(dlg.Messages().noAnswer), QStringLiteral("ZH failed"));
    QCOMPARE(ssid->text(), QStringLiteral("typed"));
}

void LanguageTest::chooserListsAfreshAndKeepsLastAnswer() {
    fx_->RememberLanguage(QStringLiteral("English (ENG).ini"));
    WizardWindow& dlg = fx_->Start();
    // A file added while the wizard runs is listed on the next run; the
    // preselection falls back to the English entry.
    fx_->WriteLanguage(QStringLiteral("Third (DEU).ini"), LanguageFile(QStringLiteral("DE")));
    QStringList listed;
    fx_->prompter.AnswerDialog([&listed](QDialog& d) {
        auto& chooser = dynamic_cast<LanguageDialog&>(d);
        for (int i = 0; i < chooser.Combo()->count(); ++i) listed << chooser.Combo()->itemText(i);
        chooser.Confirm();
        return int(QDialog::Accepted);
    });
    qputenv("LC_ALL", "en_US.UTF-8");
    dlg.HandleCommand(WizardCommand::ChangeLanguage);
    QCOMPARE(listed, (QStringList{QStringLiteral("English (ENG)"), QStringLiteral("Second (CHT)"),
                                  QStringLiteral("Third (DEU)")}));
    QCOMPARE(fx_->RememberedLanguage(), QStringLiteral("English (ENG).ini"));
    // Closed without OK: the last answer stands.
    fx_->prompter.AnswerDialog([](QDialog&) { return int(QDialog::Rejected); });
    dlg.HandleCommand(WizardCommand::ChangeLanguage);
    QCOMPARE(fx_->RememberedLanguage(), QStringLiteral("English (ENG).ini"));
    // An empty answer means English.
    fx_->prompter.AnswerDialog(Choose(QString()));
    dlg.HandleCommand(WizardCommand::ChangeLanguage);
    QCOMPARE(fx_->RememberedLanguage(), QStringLiteral("English (ENG).ini"));
    QCOMPARE(dlg.Page(kPageStart)->Control<QAbstractButton>(StartPage::kSearchButton)->text(),
             QStringLiteral("EN find"));
}

void LanguageTest::chooserPreselectsTheUsersLanguage_data() {
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<bool>("withFiles");
    QTest::addColumn<QString>("preselected");
    // The user's own code wins.
    QTest::newRow("CHT user") << QByteArray("zh_TW.UTF-8") << true << "Second (CHT)";
    // No file for ENU: the English (ENG) entry through the fallback.
    QTest::newRow("ENU user") << QByteArray("en_US.UTF-8") << true << "English (ENG)";
    QTest::newRow("ENG user") << QByteArray("en_GB.UTF-8") << true << "English (ENG)";
    // An empty folder: nothing selected, an empty field (OK then means English).
    QTest::newRow("no files") << QByteArray("de_DE.UTF-8") << false << "";
}

void LanguageTest::chooserPreselectsTheUsersLanguage() {
    QFETCH(QByteArray, locale);
    QFETCH(bool, withFiles);
    QFETCH(QString, preselected);
    if (!withFiles) {
        QFile::remove(fx_->LanguageDir() + QStringLiteral("English (ENG).ini"));
        QFile::remove(fx_->LanguageDir() + QStringLiteral("Second (CHT).ini"));
    }
    const QByteArray saved = qgetenv("LC_ALL");
    qputenv("LC_ALL", locale);
    QString shown;
    fx_->prompter.AnswerDialog([&shown](QDialog& d) {
        auto& chooser = dynamic_cast<LanguageDialog&>(d);
        shown = chooser.Combo()->currentText();
        chooser.Confirm();
        return int(QDialog::Accepted);
    });
    fx_->Start();
    qputenv("LC_ALL", saved);
    QCOMPARE(shown, preselected);
    QCOMPARE(fx_->RememberedLanguage(),
             preselected.isEmpty() ? QStringLiteral("English (ENG).ini") : preselected + QStringLiteral(".ini"));
}

QTEST_MAIN(LanguageTest)
#include "language_test.moc"

// The WPS pages of the real wizard, offscreen, from the PC namespace of the
// lab against simulated cameras (addresses in ORVANTA_TEST_WPS_JOINS, a
// camera that joins on the first status query, and ORVANTA_TEST_WPS_NEVER,
// one that never acknowledges), with a WPS tick of a few milliseconds.
#include <QAbstractButton>
#include <QTest>

#include "core/settings/FixedField.h"
#include "gui/pages/CSubWPS.h"
#include "gui/pages/PageIndex.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

class WpsFlow : public QObject {
    Q_OBJECT
private slots:
    void init() {
        fx_ = std::make_unique<WizardFixture>();
        fx_->CopyShippedLanguages(qEnvironmentVariable("ORVANTA_SOURCE_DIR"));
        fx_->RememberLanguage(QStringLiteral("English (ENG).ini"));
        fx_->Start();
    }
    void cleanup() {
        QVERIFY(!fx_->prompter.HadUnexpected());
        fx_.reset();
    }

    void cameraThatJoins();
    void cameraThatNeverAcknowledges();

private:
    // The quick IP page's way in: the WPS picture page, then its Next.
    CSubWPS* RunWps(const QString& cameraVar) {
        const QByteArray ip = qgetenv(cameraVar.toLatin1().constData());
        if (ip.isEmpty()) return nullptr;
        CameraSettings& s = fx_->Settings();
        SetField(s.CamIP, ip.toStdString());
        SetField(s.CamPort, "80");
        s.APCount = 1;
        s.WPSAck = 0;
        s.UseWPS = 1;
        CWizardDlg& dlg = fx_->Dlg();
        dlg.HandleCommand(cmd::kWpsPicPage);
        dlg.Page(kPageWPSPic)->NextButton()->click();
        QCoreApplication::processEvents();
        auto* wps = static_cast<CSubWPS*>(dlg.Page(kPageWPS));
        if (dlg.Pages().CurrentIndex() != kPageWPS) return nullptr;
        return wps;
    }

    std::unique_ptr<WizardFixture> fx_;
};

void WpsFlow::cameraThatJoins() {
    fx_->prompter.Answer(PromptAnswer::Ok);
    CSubWPS* wps = RunWps(QStringLiteral("ORVANTA_TEST_WPS_JOINS"));
    QVERIFY(wps);
    QTRY_VERIFY_WITH_TIMEOUT(!wps->Running(), 30000);
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, wps->Kept("Message3"));
    QCOMPARE(fx_->Settings().WPSAck, uint8_t{1});
    QCOMPARE(fx_->Settings().WPSState, uint8_t{0});
    QVERIFY(wps->NextButton()->isEnabled());
    wps->NextButton()->click();
    QCoreApplication::processEvents();
    QCOMPARE(fx_->Dlg().Pages().CurrentIndex(), int(kPageUPnP));
}

void WpsFlow::cameraThatNeverAcknowledges() {
    fx_->prompter.Answer(PromptAnswer::Ok);
    CSubWPS* wps = RunWps(QStringLiteral("ORVANTA_TEST_WPS_NEVER"));
    QVERIFY(wps);
    QTRY_VERIFY_WITH_TIMEOUT(!wps->Running(), 60000);
    QCOMPARE(wps->Counter(), 1200);
    QCOMPARE(fx_->prompter.Prompts().size(), std::size_t{1});
    QCOMPARE(fx_->prompter.Prompts()[0].text, wps->Kept("Message2"));
    QVERIFY(!wps->NextButton()->isEnabled());
    QVERIFY(wps->BackButton()->isEnabled());
}

QTEST_MAIN(WpsFlow)
#include "wireless_wps_guiprog.moc"

// The window upgrading an emulated ONVIF camera's firmware, offscreen, from
// the PC namespace of the firmware lab: login to the camera named by
// ORVANTA_TEST_CAMERA (its address), the finish page, Upgrade Firmware…
// with the image ORVANTA_TEST_IMAGE, the wait window's bar followed while
// the image goes out (the lab shapes the link so that it takes seconds),
// then the version read back. The wait window part-way and the finish page
// afterwards are saved as PNG in ORVANTA_TEST_SHOTS.
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include "core/hostnet/HostNetwork.h"
#include "gui/app/WaitDialog.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/PageIndex.h"
#include "gui/pages/OnvifFinishedPage.h"
#include "gui/pages/OnvifLoginPage.h"
#include "support/WizardFixture.h"

using namespace orvanta;
using namespace orvanta::testing;

namespace {

// Flashing in the emulator takes seconds, the wait for it a little more.
constexpr int kUpgradeMs = 120000;

}  // namespace

class FirmwareWindow : public QObject {
    Q_OBJECT
private slots:
    void upgradeShowsProgressAndTheVersionReadBack();

private:
    template <class T>
    T* On(int page, int id) {
        T* c = fx_->Window().Page(page)->Control<T>(id);
        if (!c) qFatal("control %d of page %d missing", id, page);
        return c;
    }
    std::unique_ptr<hostnet::HostNetwork> net_;
    std::unique_ptr<WizardFixture> fx_;
};

void FirmwareWindow::upgradeShowsProgressAndTheVersionReadBack() {
    const QString shots = qEnvironmentVariable("ORVANTA_TEST_SHOTS");
    const std::string address = qEnvironmentVariable("ORVANTA_TEST_CAMERA").toStdString();
    net_ = hostnet::MakeLinuxHostNetwork();
    fx_ = std::make_unique<WizardFixture>();
    fx_->networkCamera = true;
    fx_->realNetwork = net_.get();
    fx_->StartInShippedEnglish(qEnvironmentVariable("ORVANTA_SOURCE_DIR"));
    WizardWindow& w = fx_->Window();
    w.show();
    onvif::DiscoveredOnvifDevice camera;
    camera.xaddrs = {"http://" + address + "/onvif/device_service"};
    w.OnvifPath().Choose(camera);
    w.HandleCommand(WizardCommand::ShowOnvifLoginPage);
    On<QLineEdit>(kPageOnvifLogin, OnvifLoginPage::kUser)->setText(QStringLiteral("admin"));
    On<QLineEdit>(kPageOnvifLogin, OnvifLoginPage::kPassword)->setText(qEnvironmentVariable("ORVANTA_TEST_PASSWORD"));
    On<QAbstractButton>(kPageOnvifLogin, OnvifLoginPage::kNext)->click();
    QTRY_VERIFY_WITH_TIMEOUT(w.Pages().CurrentIndex() == int(kPageOnvifAddress) && w.isEnabled(), 30000);
    // Nothing to change: straight to the finish page, as after a set-up.
    w.OnvifPath().after = w.OnvifPath().before;
    w.HandleCommand(WizardCommand::ShowOnvifFinishedPage);
    const QString before = On<QLineEdit>(kPageOnvifFinished, OnvifFinishedPage::kFirmware)->text();

    const QString image = qEnvironmentVariable("ORVANTA_TEST_IMAGE");
    fx_->prompter.AnswerDialog([image](QDialog& d) {
        static_cast<QFileDialog&>(d).selectFile(image);
        return int(QDialog::Accepted);
    });
    fx_->prompter.Answer(PromptAnswer::Yes);
    fx_->prompter.Answer(PromptAnswer::Ok);
    On<QAbstractButton>(kPageOnvifFinished, OnvifFinishedPage::kUpgrade)->click();
    // The bar part-way: the upload runs on the worker while the window paints.
    const auto partWay = [&w] {
        const WaitDialog* wait = w.PleaseWait();
        return wait && wait->isVisible() && wait->Maximum() > 0 && wait->Position() * 3 > wait->Maximum();
    };
    QTRY_VERIFY_WITH_TIMEOUT(partWay(), 30000);
    WaitDialog* wait = w.PleaseWait();
    const int shownAt = wait->Position() * 100 / wait->Maximum();
    if (!shots.isEmpty()) {
        QVERIFY(wait->grab().save(shots + QStringLiteral("/firmware-progress.png")));
        QVERIFY(w.grab().save(shots + QStringLiteral("/firmware-window-during.png")));
    }
    QVERIFY2(shownAt < 100, "the upload was over before the bar could be seen");
    QTRY_VERIFY_WITH_TIMEOUT(w.isEnabled() && !fx_->prompter.Prompts().empty(), kUpgradeMs);
    QCOMPARE(fx_->LastPrompt().icon, PromptIcon::Information);
    const QString after = On<QLineEdit>(kPageOnvifFinished, OnvifFinishedPage::kFirmware)->text();
    QVERIFY2(after != before, qPrintable(after));
    if (!shots.isEmpty()) QVERIFY(w.grab().save(shots + QStringLiteral("/firmware-finish-page.png")));
    std::printf("firmware %s -> %s in the window; the wait window's bar grabbed at %d%%; said: %s\n", qPrintable(before),
                qPrintable(after), shownAt, qPrintable(fx_->LastPrompt().text));
    QVERIFY(!fx_->prompter.HadUnexpected());
    fx_.reset();
}

QTEST_MAIN(FirmwareWindow)
#include "firmware_window_guiprog.moc"

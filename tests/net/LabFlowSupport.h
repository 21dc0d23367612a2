// What the lab flows of the real wizard share: a wizard made offscreen with
// the English language file remembered, a fake host network holding one
// wired adapter already in the cameras' subnet, a scripted prompter and
// lab-speed timers; waiting on the event loop for a page, and the search
// page's search for a camera by address. Header-only: every lab program is
// built on its own.
#pragma once

#include <QAbstractButton>
#include <QObject>
#include <QTest>
#include <QTreeWidget>
#include <cstdio>
#include <memory>

#include "EventLoopGap.h"

#include "gui/app/WizardWindow.h"
#include "gui/framework/DesktopConnectivity.h"
#include "gui/pages/SearchPage.h"
#include "gui/framework/PageIndex.h"
#include "support/WizardFixture.h"

namespace orvanta::testing {

class LabFlow : public QObject {
protected:
    // Generous for a sanitizer build: a step that waits this long has failed.
    static constexpr int kStepMs = 30000;

    // Makes and shows the wizard; `pcAddress` is the PC's wired address
    // (mask 255.255.255.0), `wpsTickMs` the period of the WPS status query.
    // Failures are recorded on the running test.
    void StartWizard(const char* pcAddress, int wpsTickMs) {
        const QString source = qEnvironmentVariable("ORVANTA_SOURCE_DIR");
        QVERIFY2(!source.isEmpty(), "ORVANTA_SOURCE_DIR is not set");
        // A fresh folder and fake network for every flow.
        fx_ = std::make_unique<WizardFixture>();
        fx_->networkCamera = true;  // the simulated cameras of the lab

        // The PC is already in the cameras' subnet, so no alias is needed.
        hostnet::Adapter eth;
        eth.index = 2;
        eth.name = "eth0";
        eth.type = hostnet::AdapterType::Ethernet;
        eth.up = true;
        eth.addresses.push_back({hostnet::Ip(pcAddress), hostnet::Ip("255.255.255.0")});
        fx_->net.listing.adapters.push_back(eth);
        // What the wizard itself would ask at start-up.
        fx_->desktopInternet = DesktopInternetState();

        // Short periods, but long enough that a sanitizer build finishes a
        // read before the progress bar gives it up.
        fx_->timers.readTickMs = 40;
        fx_->timers.saveTickMs = 40;
        fx_->timers.refindTickMs = 40;
        fx_->timers.searchTickMs = 150;
        fx_->timers.wpsTickMs = wpsTickMs;
        fx_->StartInShippedEnglish(source);
        fx_->Window().show();
        // Measured from here: start-up is not the flow.
        gap_ = std::make_unique<EventLoopGap>();
    }

    // Every scripted answer used and no prompt unscripted; then the wizard
    // and its folder go.
    void CloseWizard() {
        // The longest the window's thread was away from its event loop
        // during the flow, for the lab's log.
        if (gap_)
            std::printf("event-loop gap: the window's thread was away for at most %lld ms in %s\n",
                        static_cast<long long>(gap_->LongestMs()), QTest::currentTestFunction());
        std::fflush(stdout);
        gap_.reset();
        QVERIFY(!fx_->prompter.HadUnexpected());
        QVERIFY(fx_->prompter.AllAnswersUsed());
        fx_.reset();
    }

    WizardWindow& Window() { return fx_->Window(); }
    CameraSettings& S() { return Window().Settings(); }
    WizardPage* Page(int index) { return Window().Page(index); }
    template <class T>
    T* On(int page, int id) {
        T* c = Page(page)->Control<T>(id);
        if (!c) qFatal("control %d of page %d missing", id, page);
        return c;
    }
    // Runs the event loop until `done` holds or a step's time is over.
    template <class Pred>
    static bool WaitFor(Pred done) {
        return QTest::qWaitFor(done, kStepMs);
    }
    bool At(int page) {
        if (WaitFor([&] { return Window().Pages().CurrentIndex() == page; })) return true;
        qWarning("expected page %d, the wizard shows %d", page, Window().Pages().CurrentIndex());
        return false;
    }

    // On the search page: searches and returns the row of `cameraIp`, or
    // nullptr (with a warning) when the search does not end or misses it.
    QTreeWidgetItem* SearchFor(const QString& cameraIp) {
        auto* search = static_cast<SearchPage*>(Page(kPageSearch));
        search->Control<QAbstractButton>(SearchPage::kSearchButton)->click();
        if (!WaitFor([&] { return !search->Searching(); })) return nullptr;
        auto* list = search->Control<QTreeWidget>(SearchPage::kList);
        QTreeWidgetItem* row = nullptr;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(0) == cameraIp) row = list->topLevelItem(i);
        if (!row) qWarning("camera %s not found by the search", qPrintable(cameraIp));
        return row;
    }

    std::unique_ptr<WizardFixture> fx_;
    std::unique_ptr<EventLoopGap> gap_;
};

}  // namespace orvanta::testing

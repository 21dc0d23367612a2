// What the lab flows of the real wizard share: a wizard made offscreen with
// the English language file remembered, a fake host network holding one
// wired adapter already in the cameras' subnet, a scripted prompter and
// lab-speed timers; waiting on the event loop for a page, and the search
// page's search for a camera by address. Header-only: every lab program is
// built on its own.
#pragma once

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "FakeHostNetwork.h"
#include "core/i18n/IniFile.h"
#include "core/i18n/LanguagePaths.h"
#include "gui/app/CWizardDlg.h"
#include "gui/pages/CSubSearchNet.h"
#include "gui/framework/PageIndex.h"
#include "support/FakeUrlOpener.h"
#include "support/ScriptedPrompter.h"

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
        tmp_ = std::make_unique<QTemporaryDir>();
        net_ = hostnet::FakeHostNetwork();
        prompter_.Clear();
        const QString root = tmp_->path();
        QDir(root).mkpath(QStringLiteral("Language"));
        QDir(root).mkpath(QStringLiteral("config"));
        const QString langDir = root + QStringLiteral("/Language/");
        QVERIFY(QFile::copy(source + QStringLiteral("/lang/English (ENG).ini"),
                            langDir + QStringLiteral("English (ENG).ini")));
        WriteIniString((root + QStringLiteral("/config/defaultlang.ini")).toStdString(), "DefaultLang", "LangFile",
                       "English (ENG).ini");

        // The PC is already in the cameras' subnet, so no alias is needed.
        hostnet::Adapter eth;
        eth.index = 2;
        eth.name = "eth0";
        eth.type = hostnet::AdapterType::Ethernet;
        eth.up = true;
        eth.addresses.push_back({hostnet::Ip(pcAddress), hostnet::Ip("255.255.255.0")});
        net_.listing.adapters.push_back(eth);

        WizardDlgOptions options;
        options.hostNetwork = &net_;
        options.prompter = &prompter_;
        options.urlOpener = &urls_;
        // Short periods, but long enough that a sanitizer build finishes a
        // read before the progress bar gives it up.
        options.timers.readTickMs = 40;
        options.timers.saveTickMs = 40;
        options.timers.refindTickMs = 40;
        options.timers.searchTickMs = 150;
        options.timers.wpsTickMs = wpsTickMs;
        options.timers.scanStepSleepMs = 0;
        options.paths = std::make_unique<LanguagePaths>(root.toStdString() + "/", langDir.toStdString(),
                                                        (root + QStringLiteral("/config/")).toStdString());
        options.aliasStateFile.clear();
        options.removeStaleAliases = false;
        dlg_ = std::make_unique<CWizardDlg>(std::move(options));
        dlg_->Start();
        dlg_->show();
    }

    // Every scripted answer used and no prompt unscripted; then the wizard
    // and its folder go.
    void CloseWizard() {
        QVERIFY(!prompter_.HadUnexpected());
        QVERIFY(prompter_.AllAnswersUsed());
        dlg_.reset();
        tmp_.reset();
    }

    CWizardDlg& Dlg() { return *dlg_; }
    CameraSettings& S() { return dlg_->Settings(); }
    CWizardPage* Page(int index) { return dlg_->Page(index); }
    template <class T>
    T* On(int page, int id) {
        T* c = Page(page)->Control<T>(id);
        if (!c) qFatal("control %d of page %d missing", id, page);
        return c;
    }
    // Runs the event loop until `done` holds or a step's time is over.
    template <class Pred>
    static bool WaitFor(Pred done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < kStepMs) QTest::qWait(10);
        return done();
    }
    bool At(int page) {
        if (WaitFor([&] { return Dlg().Pages().CurrentIndex() == page; })) return true;
        qWarning("expected page %d, the wizard shows %d", page, Dlg().Pages().CurrentIndex());
        return false;
    }

    // On the search page: searches and returns the row of `cameraIp`, or
    // nullptr (with a warning) when the search does not end or misses it.
    QTreeWidgetItem* SearchFor(const QString& cameraIp) {
        auto* search = static_cast<CSubSearchNet*>(Page(kPageSearchNet));
        search->Control<QAbstractButton>(1088)->click();
        if (!WaitFor([&] { return !search->Searching(); })) return nullptr;
        auto* list = search->Control<QTreeWidget>(1011);
        QTreeWidgetItem* row = nullptr;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(0) == cameraIp) row = list->topLevelItem(i);
        if (!row) qWarning("camera %s not found by the search", qPrintable(cameraIp));
        return row;
    }

    std::unique_ptr<QTemporaryDir> tmp_;
    hostnet::FakeHostNetwork net_;
    ScriptedPrompter prompter_;
    FakeUrlOpener urls_;
    std::unique_ptr<CWizardDlg> dlg_;
};

}  // namespace orvanta::testing

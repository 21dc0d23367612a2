// Builds a real main window for a test: a fake host network, a fake camera,
// a scripted prompter, a fake URL opener, fast timers, and a private folder
// holding the language files and defaultlang.ini.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "FakeHostNetwork.h"
#include "gui/app/CWizardDlg.h"
#include "gui/framework/DeploymentSettings.h"
#include "gui/framework/DesktopConnectivity.h"
#include "FakeCameraService.h"
#include "support/FakeUrlOpener.h"
#include "support/ScriptedPrompter.h"

namespace orvanta::testing {

// Periods short enough that a test never waits on a timer for long.
TimerSettings FastTimers();

class WizardFixture {
public:
    WizardFixture();
    ~WizardFixture();

    // The folders the window is told to use.
    QString LanguageDir() const;
    QString ConfigDir() const;

    // Writes a language file (UTF-8) into the language folder.
    void WriteLanguage(const QString& fileName, const QString& content);
    // Copies the shipped language files from <sourceDir>/lang.
    void CopyShippedLanguages(const QString& sourceDir);
    // Writes defaultlang.ini naming `fileName`, so start-up does not ask.
    void RememberLanguage(const QString& fileName);
    QString RememberedLanguage() const;

    // Makes the window (not yet started).
    CWizardDlg& Make(const DeploymentSettings& deployment = {});
    // Makes and starts it; the first page is then visible.
    CWizardDlg& Start(const DeploymentSettings& deployment = {});

    CWizardDlg& Dlg() { return *dlg_; }
    // Destroys the window (what closing the wizard does); the fakes stay.
    void CloseWindow() { dlg_.reset(); }
    CameraSettings& Settings() { return dlg_->Settings(); }

    hostnet::FakeHostNetwork net;
    FakeCameraService camera;
    // Set before Make: the window talks to cameras over the network instead
    // (the lab programs, inside their namespaces).
    bool networkCamera = false;
    // What the desktop's network manager says when no probe host is set.
    int desktopInternet = kInternetNo;
    ScriptedPrompter prompter;
    FakeUrlOpener urls;

private:
    QTemporaryDir dir_;
    std::unique_ptr<CWizardDlg> dlg_;
};

}  // namespace orvanta::testing

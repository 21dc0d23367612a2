// Builds a real main window for a test: a fake host network, a fake camera,
// a scripted prompter, a fake URL opener, fast timers, and a private folder
// holding the language files and defaultlang.ini. Or, in single-page mode,
// no window: one or more pages wired to a context made of the same parts.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <vector>

#include "FakeHostNetwork.h"
#include "core/i18n/LanguageStrings.h"
#include "core/settings/CameraSettings.h"
#include "gui/app/WizardWindow.h"
#include "gui/framework/WizardPage.h"
#include "gui/framework/DeploymentSettings.h"
#include "gui/framework/DesktopConnectivity.h"
#include "gui/framework/KeptCameraResults.h"
#include "gui/framework/WizardContext.h"
#include "FakeCameraService.h"
#include "FakeOnvif.h"
#include "gui/framework/OnvifSetup.h"
#include "support/FakeUrlOpener.h"
#include "support/ScriptedPrompter.h"

namespace orvanta::testing {

// Commands in the order a page posted or sent them; also a test-data column.
using Commands = std::vector<WizardCommand>;

// Periods short enough that a test never waits on a timer for long.
TimerSettings FastTimers();

class WizardFixture {
public:
    WizardFixture();
    ~WizardFixture();

    // The folders the window is told to use.
    QString LanguageDir() const;
    QString ConfigDir() const;

    // Writes a language file (UTF-8) into the language folder; single-page
    // mode reads the last one written.
    void WriteLanguage(const QString& fileName, const QString& content);
    // Copies the shipped language files from <sourceDir>/lang.
    void CopyShippedLanguages(const QString& sourceDir);
    // Writes defaultlang.ini naming `fileName`, so start-up does not ask.
    void RememberLanguage(const QString& fileName);
    QString RememberedLanguage() const;

    // Makes the window (not yet started).
    WizardWindow& Make(const DeploymentSettings& deployment = {});
    // Makes and starts it; the first page is then visible.
    WizardWindow& Start(const DeploymentSettings& deployment = {});
    // The start most page tests share: `languageText` written as the
    // remembered English file, so captions and messages are the test's own
    // short texts, and the window started.
    WizardWindow& StartWithLanguage(const QString& languageText);
    // The same with the shipped language files of `sourceDir`, English chosen.
    WizardWindow& StartInShippedEnglish(const QString& sourceDir, const DeploymentSettings& deployment = {});

    // From here on every command a page posts is kept in `posted` instead of
    // run, so a test stays on its page and checks where the page leads.
    void RecordPostedCommands();
    std::optional<WizardCommand> LastPosted() const {
        return posted.empty() ? std::nullopt : std::optional<WizardCommand>(posted.back());
    }
    // Shows a page the way `command` does, as its own type.
    template <class Page>
    Page* Show(WizardCommand command, int index) {
        dlg_->HandleCommand(command);
        return static_cast<Page*>(dlg_->Page(index));
    }
    // The last message box, or an empty record.
    ScriptedPrompter::Record LastPrompt() const {
        return prompter.Prompts().empty() ? ScriptedPrompter::Record{} : prompter.Prompts().back();
    }
    // The message boxes' texts, in order.
    QStringList PromptTexts() const;

    // ---- single-page mode (no window; call WriteLanguage first) ----
    // Hands `page` the shared page context, its start values and its
    // captions, as the main window does at start-up. The context holds the
    // fixture's own record, fakes, `timers`, `deployment` and `kept`; a
    // command the page posts is kept in `posted`, one it sends in `sent`, and
    // `events` logs "post" and "send" in the order they happened.
    void AttachPage(WizardPage& page);
    // The context attached pages share; a test may swap one of its parts.
    WizardContext& PageContext() { return pageContext_; }
    const LanguageStrings& PageLanguage() const { return pageLanguage_; }

    WizardWindow& Window() { return *dlg_; }
    // Destroys the window (what closing the wizard does); the fakes stay.
    void CloseWindow() { dlg_.reset(); }
    // The window's record, or in single-page mode the fixture's own.
    CameraSettings& Settings() { return dlg_ ? dlg_->Settings() : pageRecord_; }

    hostnet::FakeHostNetwork net;
    FakeCameraService camera;
    // Camera work the attached pages ran (through their context).
    int pageWorks = 0;
    // Other makers' cameras: never the network unless networkCamera is set.
    FakeOnvifSearch onvifSearch;
    FakeOnvifService onvif;
    OnvifSetup onvifSetup;  // single-page mode only
    // Set before Make: the window talks to cameras over the network instead
    // (the lab programs, inside their namespaces).
    bool networkCamera = false;
    // Set before Make: the window adds addresses and probes through this
    // (the PC's own network, inside a lab namespace) instead of `net`.
    hostnet::HostNetwork* realNetwork = nullptr;
    // What the desktop's network manager says when no probe host is set.
    int desktopInternet = kInternetNo;
    // The window's periods; set before Make.
    TimerSettings timers = FastTimers();
    ScriptedPrompter prompter;
    FakeUrlOpener urls;
    Commands posted;
    Commands sent;
    // Single-page mode only (the window takes its own in Make).
    DeploymentSettings deployment;
    KeptCameraResults kept;
    // "post", "send" as they happened; tests add their own lines.
    QStringList events;

private:
    void MakePageContext();

    QTemporaryDir dir_;
    std::unique_ptr<WizardWindow> dlg_;
    QString lastLanguageFile_;
    CameraSettings pageRecord_{};
    LanguageStrings pageLanguage_;
    std::string pageLanguagePath_;
    WizardContext pageContext_;
    bool pageContextMade_ = false;
};

}  // namespace orvanta::testing

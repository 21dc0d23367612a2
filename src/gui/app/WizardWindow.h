// The wizard's main window "Travolis2": the banner, the page area with the 21
// pages of our own cameras and the 5 of the ONVIF path, and the owner of everything the wizard uses for its whole life (the
// settings record, the pages, the wait window, the language, the aliases
// added to the PC's adapter). Pages reach it only through their
// WizardContext; navigation arrives as queued WizardCommandEvents.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/http/TransportSettings.h"
#include "core/hostnet/AddedAddresses.h"
#include "core/i18n/LanguagePaths.h"
#include "core/i18n/LanguageStrings.h"
#include "core/i18n/WizardMessages.h"
#include "core/settings/CameraSettings.h"
#include "gui/app/InternetProbe.h"
#include "gui/app/PageStack.h"
#include "gui/framework/DeploymentSettings.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/TimerSettings.h"
#include "gui/framework/WizardCommand.h"
#include "gui/framework/WizardContext.h"
#include "gui/framework/PageIndex.h"

class QLabel;

namespace orvanta {

namespace hostnet {
class HostNetwork;
}
class CameraOperations;
class CameraService;
class OnvifOperations;
namespace onvif {
class OnvifSearch;
class OnvifService;
}  // namespace onvif
class PictureFrame;
class WaitDialog;
class WizardPage;
class Prompter;
class UrlOpener;
class StartPage;

// What a main window is built from. Empty members take the real thing, so
// the program passes a default-made value and tests replace what they fake.
struct WizardWindowOptions {
    // Not owned; null: the Linux host network, owned by the window.
    hostnet::HostNetwork* hostNetwork = nullptr;
    // Not owned; null: message boxes and modal dialogs for real.
    Prompter* prompter = nullptr;
    // Not owned; null: the desktop's browser.
    UrlOpener* urlOpener = nullptr;
    // Not owned; null: the camera over the network, with `transport`'s limits.
    CameraService* camera = nullptr;
    // Not owned; null: other makers' cameras over the network.
    onvif::OnvifService* onvif = nullptr;
    onvif::OnvifSearch* onvifSearch = nullptr;
    TimerSettings timers;
    // The camera's time limits; tests shorten them as they do the timers.
    TransportSettings transport;
    DeploymentSettings deployment;
    // Where the language files and defaultlang.ini are; unset: worked out
    // from the executable's folder and the environment.
    std::unique_ptr<LanguagePaths> paths;
    // Where the alias list is mirrored; "" keeps it in memory only.
    std::string aliasStateFile = hostnet::AddedAddresses::DefaultStateFile();
    // Remove aliases a crashed earlier run left behind, at start-up.
    bool removeStaleAliases = true;
    // Asked at start-up when no probe host is set; returns an InternetState
    // (DesktopConnectivity.h). Empty: the desktop's network manager.
    std::function<int()> desktopInternetState;
};

class WizardWindow : public QWidget {
    Q_OBJECT
public:
    explicit WizardWindow(WizardWindowOptions options = {}, QWidget* parent = nullptr);
    ~WizardWindow() override;

    // The start-up sequence: adapter inventory, pages, reachability probe,
    // language, captions, first page. Call once, before showing the window.
    void Start();

    // Queue a command (what pages do) / run it at once (only
    // EnsureCameraSubnet is run this way).
    void PostCommand(WizardCommand command);
    void HandleCommand(WizardCommand command);

    // Runs the about dialog modally and repaints the window.
    void ShowAbout();

    // ---- owned state, for the camera operations and for tests ----
    CameraSettings& Settings() { return settings_; }
    WizardContext& Context() { return context_; }
    hostnet::HostNetwork* HostNet() const { return hostNet_; }
    CameraService& Camera() const { return *camera_; }
    CameraOperations& Operations() const { return *cameraOps_; }
    OnvifOperations& Onvif() const { return *onvifOps_; }
    OnvifSetup& OnvifPath() { return onvifSetup_; }
    hostnet::AddedAddresses& Aliases() { return added_; }
    const WizardMessages& Messages() const { return messages_; }
    const LanguageStrings& Language() const { return language_; }
    const std::string& LanguageFileName() const { return languageFileName_; }
    const std::string& LanguageFilePath() const { return languageFilePath_; }
    const LanguagePaths& Paths() const { return *paths_; }
    PageStack& Pages() { return pages_; }
    WizardPage* Page(int index) const;
    StartPage* FirstPage() const;
    WaitDialog* PleaseWait() const { return wait_; }
    const TimerSettings& Timers() const { return timers_; }
    Prompter& Prompt() const { return *prompter_; }
    QRect PageAreaRect() const;

    // The language chooser as the start-up and ChangeLanguage use it: lists the
    // language files, preselects by the user's language, returns the text
    // the user confirmed (without ".ini").
    std::string AskLanguage();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnWizardCommand(WizardCommand command);
    void ShowPage(int index, bool refresh);
    void ChangeLanguageNow();
    void ApplyLanguageToAll();
    void CreatePages();

    WizardWindowOptions options_;
    std::unique_ptr<hostnet::HostNetwork> ownedHostNet_;
    hostnet::HostNetwork* hostNet_ = nullptr;
    std::unique_ptr<Prompter> ownedPrompter_;
    Prompter* prompter_ = nullptr;
    std::unique_ptr<UrlOpener> ownedUrlOpener_;
    UrlOpener* urlOpener_ = nullptr;
    std::unique_ptr<CameraService> ownedCamera_;
    CameraService* camera_ = nullptr;
    std::unique_ptr<onvif::OnvifSearch> ownedOnvifSearch_;
    OnvifSetup onvifSetup_;
    TimerSettings timers_;
    TransportSettings transport_;
    DeploymentSettings deployment_;
    std::unique_ptr<LanguagePaths> paths_;

    CameraSettings settings_;
    hostnet::AddedAddresses added_;
    PageStack pages_;
    std::array<WizardPage*, kPageCount> pageObjects_{};
    WaitDialog* wait_ = nullptr;
    PictureFrame* banner_ = nullptr;
    QWidget* pageArea_ = nullptr;  // the invisible frame 1005

    std::string languageFileName_;
    std::string languageFilePath_;
    LanguageStrings language_;
    WizardMessages messages_;
    std::string chosenLanguage_;  // the chooser's last answer, kept between runs

    WizardContext context_;
    std::unique_ptr<CameraOperations> cameraOps_;
    std::unique_ptr<OnvifOperations> onvifOps_;
    InternetProbe probe_;
    bool started_ = false;
};

}  // namespace orvanta

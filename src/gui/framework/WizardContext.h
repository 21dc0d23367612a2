// What every page is handed by the main window: the shared settings record,
// the seams it talks to the outside through, and the way back to the main
// window. The main window owns everything pointed to here and outlives every
// page, so pages keep a plain pointer to the context.
#pragma once

#include <functional>
#include <string>

#include "gui/framework/CameraWork.h"
#include "gui/framework/WizardCommand.h"

class QWidget;

namespace orvanta {

struct CameraSettings;
class CameraService;
class LanguageStrings;
namespace hostnet {
class HostNetwork;
}
class Prompter;
class UrlOpener;
struct TimerSettings;
struct DeploymentSettings;
struct KeptCameraResults;
struct OnvifSetup;
namespace onvif {
class OnvifService;
class OnvifSearch;
}  // namespace onvif

struct WizardContext {
    CameraSettings* settings = nullptr;
    Prompter* prompter = nullptr;
    UrlOpener* urlOpener = nullptr;
    hostnet::HostNetwork* hostNetwork = nullptr;
    // The camera: search, read, save, scan, WPS and the listing server.
    CameraService* camera = nullptr;
    // Other makers' cameras: the search beside ours, and the calls of the
    // ONVIF path (the window's pages use them through OnvifOperations).
    onvif::OnvifSearch* onvifSearch = nullptr;
    onvif::OnvifService* onvif = nullptr;
    // What the ONVIF path's pages share.
    OnvifSetup* onvifSetup = nullptr;
    const TimerSettings* timers = nullptr;
    const DeploymentSettings* deployment = nullptr;

    // The active language file. Pages that read a text at the moment they
    // use it (rather than in ApplyLanguage) look it up here; the main window
    // keeps this pointer valid and updates it on a language change.
    const LanguageStrings* language = nullptr;
    // Path of the active language file, for dialogs that take the path.
    const std::string* languageFilePath = nullptr;

    // The scan list and address proposal of the last good camera read (set
    // by the camera operations; null before they exist).
    KeptCameraResults* kept = nullptr;

    // Owner window for message boxes and modal dialogs.
    QWidget* mainWindow = nullptr;

    // Queue a navigation command; it runs after the current handler returns.
    std::function<void(WizardCommand)> postCommand;
    // Runs a page's own camera request on the worker (null: no camera).
    CameraWorkRunner runCameraWork;
    // Run a command at once (only EnsureCameraSubnet is ever sent this way, by callers
    // that need the camera's subnet reachable before they go on).
    std::function<void(WizardCommand)> sendCommand;
};

}  // namespace orvanta

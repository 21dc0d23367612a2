// What a page asks the main window to do. A page never shows another page
// itself: it posts one of these and returns, and the main window's handler
// decides what happens once the button handler is over.
#pragma once

#include <QEvent>

namespace orvanta {

enum class WizardCommand {
    // Back to the start page, with the guided mode on and the PPPoE, WPS and
    // wireless choices of the last round cleared.
    StartOver,
    ShowSystemPage,
    ShowOptionPage,
    ShowDiagramPage,
    ShowIspLinkPage,
    ShowWirelessNetworkPage,
    ShowLanAddressPage,
    ShowWirelessAddressPage,
    ShowSearchPage,
    ShowServerLoginPage,
    // Hands the login page's camera entries to the list page, then shows it.
    ShowServerCameraListPage,
    ShowUpnpPortsPage,
    ShowDdnsPage,
    // Gives the PC a temporary address in the chosen camera's subnet when it
    // has none there; sent (not posted) by callers that need the camera
    // reachable before they go on.
    EnsureCameraSubnet,
    // Reads the chosen camera's settings into the record, behind the wait
    // window, and moves on to the page the read leads to.
    ReadCamera,
    // Writes the record to the camera, waits for it to come back and shows
    // where it is now.
    SaveCamera,
    ShowAccessPointScanPage,
    ShowSummaryPage,
    // Asks the camera for a fresh list of the access points it sees.
    ScanAccessPoints,
    ShowAbout,
    ShowWpsPage,
    ShowWpsPicturePage,
    ShowSetupChoicePage,
    ShowPppoePage,
    ShowQuickAddressPage,
    ShowSetupFinishedPage,
    // Asks for a language and applies it to every page at once.
    ChangeLanguage,

    // The path of an ONVIF camera chosen in the search list.
    ShowOnvifLoginPage,
    // Reads the camera with the login page's user, behind the wait window;
    // the address page follows a good read, the login page says why not.
    OnvifLogin,
    ShowOnvifAddressPage,
    ShowOnvifClockPage,
    ShowOnvifStreamsPage,
    ShowOnvifSummaryPage,
    // Applies the change, finds the camera again and reads it back.
    ApplyOnvifChange,
    ShowOnvifFinishedPage,
    // Makes the chosen ONVIF camera reachable from the PC now; sent, not
    // posted, before its web page is opened.
    EnsureOnvifReachable,
    // Takes the picture of the search list's ONVIF camera (one logged in
    // to, OnvifSetup::pictureOf) on the worker and shows it in a window.
    ShowOnvifPicture,
    // Sends the finish page's firmware image, waits for the camera to come
    // back and reads its version, behind the wait window.
    UpgradeOnvifFirmware,
};

// The queued event that carries a command to the main window, so that the
// command runs after the handler that posted it has returned.
class WizardCommandEvent : public QEvent {
public:
    static QEvent::Type EventType();
    explicit WizardCommandEvent(WizardCommand command) : QEvent(EventType()), command_(command) {}
    WizardCommand Command() const { return command_; }

private:
    WizardCommand command_;
};

}  // namespace orvanta

// The ONVIF path's work on the camera itself: the login read and the
// change, each on a worker thread behind the wait window, and making the
// chosen camera reachable from the PC (a temporary address in its subnet,
// link-local included) for the worker and for its web page.
//
// One job at a time, through the window's one way of running camera work
// (WaitingWorker): the window is disabled meanwhile and the wait window's
// Cancel ends the job at its next wait. The service's own limits bound every
// job (a camera that moved is waited for no longer than they say); closing
// the window ends the wait for a moved camera at its next turn.
#pragma once

#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "core/onvif/OnvifService.h"
#include "gui/app/WaitingWorker.h"

namespace orvanta {

class WizardWindow;

class OnvifOperations {
public:
    // `service` null: ONVIF over the network, owned here.
    OnvifOperations(WizardWindow& window, onvif::OnvifService* service);
    ~OnvifOperations();
    OnvifOperations(const OnvifOperations&) = delete;
    OnvifOperations& operator=(const OnvifOperations&) = delete;

    onvif::OnvifService& Service() const { return *service_; }

    // OnvifLogin: reads the chosen camera with the login page's credentials,
    // then looks for a free address to propose. The address page follows a
    // good read; otherwise the login page shows why.
    void Login();
    // ApplyOnvifChange: applies the pages' change, finds the camera again
    // and reads it back. The finish page follows; a failure is said in a
    // message and the summary stays.
    void Apply();
    // UpgradeOnvifFirmware: sends the finish page's image, the wait window
    // showing how much of it went; once the camera is back its version is
    // said in a message and shown on the finish page.
    void UpgradeFirmware();
    // EnsureOnvifReachable: the chosen camera reachable from the PC now.
    bool EnsureReachable();
    // ShowOnvifPicture: the picture of the search list's camera
    // (OnvifSetup::pictureOf) with the login it took, in a window of its own.
    void ShowPicture();

    bool Busy() const { return worker_.Busy(); }
    // false: no timer runs and a test calls Tick itself.
    void SetTimersRunning(bool running) { worker_.SetTimersRunning(running); }
    // One look at the worker: ends the job when it is done.
    void Tick() { worker_.Tick(); }
    // Wakes and ends the waits of a running job (the window is closing).
    void Cancel();

private:
    struct Job;
    void Start(std::shared_ptr<Job> job, const QString& waitText);
    void Start(std::shared_ptr<Job> job, const QString& waitText, const onvif::DiscoveredOnvifDevice& device);
    void Finish(Job& job);
    bool Reach(const std::string& address, int prefix);
    // The card and port the next Reach uses: those `device` answered on.
    void ReachThrough(const onvif::DiscoveredOnvifDevice& device);
    void Sleep(std::chrono::milliseconds duration);
    QString Text(const char* section, const char* key) const;

    WizardWindow& window_;
    std::unique_ptr<onvif::OnvifService> ownedService_;
    onvif::OnvifService* service_ = nullptr;

    // The card the chosen camera was heard on (temporary addresses go
    // there) and the port of its device service.
    std::mutex reachMutex_;
    std::string card_;
    std::string port_ = "80";

    std::atomic<bool> cancelled_{false};
    std::mutex sleepMutex_;
    std::condition_variable wake_;
    // Last: destroyed (and its thread joined) while everything the job uses still lives.
    WaitingWorker worker_;
};

}  // namespace orvanta

// The ONVIF path's work on the camera itself: the login read and the
// change, each on a worker thread behind the wait window, and making the
// chosen camera reachable from the PC (a temporary address in its subnet,
// link-local included) for the worker and for its web page.
//
// One job at a time; the window is disabled meanwhile and the wait window
// moves so the user sees it is alive. The service's own limits bound every
// job (a camera that moved is waited for no longer than they say); closing
// the window ends the wait for a moved camera at its next turn.
#pragma once

#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/onvif/OnvifService.h"

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
    // EnsureOnvifReachable: the chosen camera reachable from the PC now.
    bool EnsureReachable();

    bool Busy() const { return job_ != nullptr; }
    // false: no timer runs and a test calls Tick itself.
    void SetTimersRunning(bool running) { timersRunning_ = running; }
    // One look at the worker: ends the job when it is done.
    void Tick();
    // Wakes and ends the waits of a running job (the window is closing).
    void Cancel();

private:
    struct Job;
    void Start(std::unique_ptr<Job> job, const QString& waitText);
    void Finish();
    bool Reach(const std::string& address, int prefix);
    // The card and port the next Reach uses: those `device` answered on.
    void ReachThrough(const onvif::DiscoveredOnvifDevice& device);
    void Sleep(std::chrono::milliseconds duration);
    QString Text(const char* section, const char* key) const;

    WizardWindow& window_;
    std::unique_ptr<onvif::OnvifService> ownedService_;
    onvif::OnvifService* service_ = nullptr;
    std::unique_ptr<Job> job_;
    QTimer timer_;
    bool timersRunning_ = true;
    int position_ = 0;

    // The card the chosen camera was heard on (temporary addresses go
    // there) and the port of its device service.
    std::mutex reachMutex_;
    std::string card_;
    std::string port_ = "80";

    std::atomic<bool> cancelled_{false};
    std::mutex sleepMutex_;
    std::condition_variable wake_;
};

}  // namespace orvanta

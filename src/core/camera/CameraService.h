// Everything a caller does to one of our own cameras, behind one interface.
// The operations (log in, read, save, scan the access points, read the
// camera found again after a restart) are written once here, over a handful
// of requests; the window, the command line and the provisioner call them
// and keep only their own presentation. A test replaces the requests with a
// scripted fake and still runs the real operations.
//
// Every operation works on the record it is handed: its endpoint, its
// credentials and its KeepConnecting flag. Clearing that flag ends the
// operation at its next step (Cancelled) and makes a waiting connect give up.
// Every operation also takes the caller's deadline (`within`) and hands it,
// as a value, to each request it makes; past it the request in progress ends
// with TimedOut. An implementation may bound an operation more tightly
// (OperationLimit), never less.
//
// Calls made from a worker thread must be safe while the user-interface
// thread uses the same object: an implementation keeps no mutable state the
// requests would share. The search calls are for one thread only (the one
// whose timers drive a search).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/base/Deadline.h"
#include "core/camera/AccessPointScan.h"
#include "core/camera/CameraParameters.h"
#include "core/camera/CameraResult.h"
#include "core/http/HttpResult.h"
#include "core/camera/ListingServerQuery.h"
#include "core/settings/ParameterGroup.h"
#include "core/camera/WpsRequest.h"
#include "core/discovery/DiscoveredCamera.h"
#include "core/discovery/SearchResult.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// A step's records stay valid until the next step or EndSearch.
using discovery::SearchChange;
using discovery::SearchResult;

// The credentials a caller has to offer; each part only when it was given.
struct CameraLogin {
    std::optional<std::string> user;
    std::optional<std::string> password;
    bool any() const { return user.has_value() || password.has_value(); }
};

// Which of the two saves: the full network form, or the short one a camera
// joining a network by WPS takes.
enum class SaveForm { Normal, AfterWps };

class CameraService {
public:
    virtual ~CameraService() = default;

    // ---- the operations ----

    // The empty login first; when the camera refuses it, `given` (when it
    // holds anything: LoginRequired otherwise). The login reads the system
    // page into the record (on the record itself, so that a cancel reaches
    // it); a caller whose record must keep its own system page logs in on a copy.
    CameraResult LogIn(CameraSettings& settings, const CameraLogin& given, const Deadline& within,
                       const StepReport& report = {});
    // `given` straight away (the user typed them after the empty login was refused).
    CameraResult LogInAs(CameraSettings& settings, const CameraLogin& given, const Deadline& within,
                         const StepReport& report = {});
    // Pages 23, 1, 3, 13 and the time group; then `Loaded`, page 32, and the
    // access point scan when the camera has wireless (NoScan when its reply
    // holds none). `apList` gets the scan.
    CameraResult Read(CameraSettings& settings, std::vector<AccessPointEntry>& apList, const Deadline& within,
                      const StepReport& report = {});
    // Normal: system, DDNS and time written, then the full network form.
    // Once that has gone out the save has done its part, whatever the reply
    // (the camera may move to its new address at once): `last` then says
    // whether the camera confirmed it. AfterWps: system and DDNS written, the
    // time group read, the short network form written and confirmed.
    CameraResult Save(CameraSettings& settings, SaveForm form, const Deadline& within, const StepReport& report = {});
    // The camera's scan of the access points it sees (NoScan when the reply holds none).
    CameraResult ScanAccessPoints(CameraSettings& settings, std::vector<AccessPointEntry>& apList,
                                  const Deadline& within, const StepReport& report = {});
    // The camera answered a search again after its restart: the record is
    // pointed at where it answered from and its NAT status is read.
    CameraResult ReadFoundAgain(CameraSettings& settings, const discovery::DiscoveredCamera& found,
                                const Deadline& within);
    // Points the record at the address and port the camera answered from.
    static void AimAtFound(CameraSettings& settings, const discovery::DiscoveredCamera& found);

    // ---- the requests the operations are made of ----

    // One step of a discovery search (DiscoveryClient::Search); `restart`
    // begins a new search.
    virtual SearchResult SearchStep(bool restart) = 0;
    // True when the last search request could leave through no card at all.
    virtual bool SearchSentNowhere() const = 0;
    // The search is over: what the discovery client holds (sockets, queues,
    // records) is let go; the next step starts a new client.
    virtual void EndSearch() = 0;

    // Each request ends by `deadline` (TimedOut past it).

    // One parameter group read into the record (ReadParameters).
    virtual HttpResult ReadGroup(CameraSettings& settings, ParameterGroup group, const Deadline& deadline) = 0;
    // One parameter group written; a reply whose status is not 2xx fails.
    virtual WriteAnswer WriteGroup(CameraSettings& settings, ParameterGroup group, const Deadline& deadline) = 0;
    virtual std::vector<AccessPointEntry> RequestAccessPointScan(CameraSettings& settings, HttpResult* result,
                                                                 const Deadline& deadline) = 0;
    virtual HttpResult Wps(CameraSettings& settings, WpsAction action, const Deadline& deadline) = 0;
    // The camera-listing server (QueryServerCameras).
    virtual std::optional<std::vector<ServerCameraEntry>> QueryServer(const ServerCredentials& credentials,
                                                                      uint32_t& countOut, const char* host,
                                                                      const char* port, ListingLogin login,
                                                                      const Deadline& deadline) = 0;

protected:
    // The implementation's own bound on one operation, from its start; the
    // earlier of it and the caller's deadline governs (none by default).
    virtual Deadline OperationLimit() const { return Deadline::Never(); }
};

}  // namespace orvanta

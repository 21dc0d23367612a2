// Everything the wizard does on a camera, behind one interface: a discovery
// search step, reading, saving, the access point scan, WPS and the
// listing-server query. (The command-line tool calls the same core functions
// directly, with the limits its options give.) The wizard's pages and its worker reach
// the camera only through it, so a test replaces the whole camera with one
// scripted fake.
//
// Calls made from a worker thread (Read, Save, SaveAfterWps, ScanAccessPoints)
// must be safe while the user-interface thread uses the same object: an
// implementation keeps no mutable state they would share. The search calls
// are for one thread only (the one whose timers drive a search).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/camera/AccessPointScan.h"
#include "core/camera/CameraSequences.h"
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

class CameraService {
public:
    virtual ~CameraService() = default;

    // One step of a discovery search (DiscoveryClient::Search); `restart`
    // begins a new search.
    virtual SearchResult SearchStep(bool restart) = 0;
    // True when the last search request could leave through no card at all.
    virtual bool SearchSentNowhere() const = 0;
    // The search is over: what the discovery client holds (sockets, queues,
    // records) is let go; the next step starts a new client.
    virtual void EndSearch() = 0;

    // One parameter group (ReadParameters).
    virtual HttpResult ReadGroup(CameraSettings& settings, ParameterGroup group) = 0;
    // The system page right after the login dialog (ReadSysinfoAuth).
    virtual HttpResult ReadAfterLogin(CameraSettings& settings) = 0;
    // The whole camera (RunReadSequence).
    virtual SequenceOutcome Read(CameraSettings& settings, std::vector<AccessPointEntry>& apList) = 0;
    // The two saves (RunNormalSave, RunWpsSave).
    virtual SequenceOutcome Save(CameraSettings& settings) = 0;
    virtual SequenceOutcome SaveAfterWps(CameraSettings& settings) = 0;
    virtual std::vector<AccessPointEntry> ScanAccessPoints(CameraSettings& settings, HttpResult* result) = 0;
    virtual HttpResult Wps(CameraSettings& settings, WpsAction action) = 0;
    // The camera-listing server (QueryServerCameras).
    virtual std::optional<std::vector<ServerCameraEntry>> QueryServer(const ServerCredentials& credentials,
                                                                      uint32_t& countOut, const char* host,
                                                                      const char* port, ListingLogin login) = 0;
};

}  // namespace orvanta

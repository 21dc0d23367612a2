#include "core/camera/NetworkCameraService.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>

#include "core/camera/CameraParameters.h"
#include "core/discovery/DiscoveryClient.h"
#include "core/discovery/PosixDiscoveryTransport.h"

namespace orvanta {

NetworkCameraService::NetworkCameraService(const TransportSettings& limits) : limits_(limits) {}

NetworkCameraService::~NetworkCameraService() = default;

SearchResult NetworkCameraService::SearchStep(bool restart) {
    if (!discoveryClient_) {
        discovery::DiscoverySettings settings;
        searchTransport_ = std::make_shared<discovery::PosixDiscoveryTransport>(settings.receiveBufferBytes);
        settings.transport = searchTransport_;
        discoveryClient_ = std::make_unique<discovery::DiscoveryClient>(settings);
    }
    return discoveryClient_->Search(restart);
}

// A client lives for one search, so the transport asked is the current one.
bool NetworkCameraService::SearchSentNowhere() const {
    return searchTransport_ && searchTransport_->LastSend().EveryCardFailed();
}

void NetworkCameraService::EndSearch() {
    if (!discoveryClient_) return;
    discoveryClient_.reset();
    searchTransport_.reset();
#ifdef __GLIBC__
    // A large search's thousands of small blocks would otherwise stay with
    // the process as free heap.
    malloc_trim(0);
#endif
}

HttpResult NetworkCameraService::ReadGroup(CameraSettings& settings, ParameterGroup group, const Deadline& deadline) {
    return ReadParameters(limits_, deadline, settings, group);
}

WriteAnswer NetworkCameraService::WriteGroup(CameraSettings& settings, ParameterGroup group,
                                             const Deadline& deadline) {
    return WriteParameters(limits_, deadline, settings, group);
}

std::vector<AccessPointEntry> NetworkCameraService::RequestAccessPointScan(CameraSettings& settings,
                                                                          HttpResult* result,
                                                                          const Deadline& deadline) {
    return orvanta::ScanAccessPoints(limits_, deadline, settings, result);
}

HttpResult NetworkCameraService::Wps(CameraSettings& settings, WpsAction action, const Deadline& deadline) {
    return WpsRequest(limits_, deadline, settings, action);
}

std::optional<std::vector<ServerCameraEntry>> NetworkCameraService::QueryServer(const ServerCredentials& credentials,
                                                                                uint32_t& countOut,
                                                                                const char* host, const char* port,
                                                                                ListingLogin login,
                                                                                const Deadline& deadline) {
    return QueryServerCameras(limits_, deadline, credentials, countOut, host, port, login);
}

}  // namespace orvanta

#include "core/camera/NetworkCameraService.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>

#include "core/camera/CameraParameters.h"
#include "core/camera/SequenceDeadline.h"
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

HttpResult NetworkCameraService::ReadGroup(CameraSettings& settings, ParameterGroup group) {
    return ReadParameters(limits_, settings, group);
}

WriteAnswer NetworkCameraService::WriteGroup(CameraSettings& settings, ParameterGroup group) {
    return WriteParameters(limits_, settings, group);
}

std::vector<AccessPointEntry> NetworkCameraService::RequestAccessPointScan(CameraSettings& settings,
                                                                          HttpResult* result) {
    return orvanta::ScanAccessPoints(limits_, settings, result);
}

namespace {
struct OverallLimit : CameraService::OperationScope {
    explicit OverallLimit(const TransportSettings& limits) : deadline(limits) {}
    SequenceDeadline deadline;
};
}  // namespace

std::unique_ptr<CameraService::OperationScope> NetworkCameraService::BeginOperation() {
    return std::make_unique<OverallLimit>(limits_);
}

HttpResult NetworkCameraService::Wps(CameraSettings& settings, WpsAction action) {
    return WpsRequest(limits_, settings, action);
}

std::optional<std::vector<ServerCameraEntry>> NetworkCameraService::QueryServer(const ServerCredentials& credentials,
                                                                                uint32_t& countOut,
                                                                                const char* host, const char* port,
                                                                                ListingLogin login) {
    return QueryServerCameras(limits_, credentials, countOut, host, port, login);
}

}  // namespace orvanta

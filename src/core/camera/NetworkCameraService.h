// The camera service over the network: the transport calls with the time
// limits it was made with, and a discovery client for the search.
#pragma once

#include <memory>

#include "core/camera/CameraService.h"
#include "core/http/TransportSettings.h"

namespace orvanta {

namespace discovery {
class DiscoveryClient;
class PosixDiscoveryTransport;
}  // namespace discovery

class NetworkCameraService : public CameraService {
public:
    explicit NetworkCameraService(const TransportSettings& limits = {});
    ~NetworkCameraService() override;
    NetworkCameraService(const NetworkCameraService&) = delete;
    NetworkCameraService& operator=(const NetworkCameraService&) = delete;

    SearchResult SearchStep(bool restart) override;
    bool SearchSentNowhere() const override;
    void EndSearch() override;

    HttpResult ReadGroup(CameraSettings& settings, ParameterGroup group, const Deadline& deadline) override;
    WriteAnswer WriteGroup(CameraSettings& settings, ParameterGroup group, const Deadline& deadline) override;
    std::vector<AccessPointEntry> RequestAccessPointScan(CameraSettings& settings, HttpResult* result,
                                                         const Deadline& deadline) override;
    HttpResult Wps(CameraSettings& settings, WpsAction action, const Deadline& deadline) override;
    std::optional<std::vector<ServerCameraEntry>> QueryServer(const ServerCredentials& credentials,
                                                              uint32_t& countOut, const char* host,
                                                              const char* port, ListingLogin login,
                                                              const Deadline& deadline) override;

protected:
    // Each operation is bounded by the overall limit, from its start.
    Deadline OperationLimit() const override { return Deadline::After(limits_.overallLimitMs); }

private:
    // Never changed after construction: the camera calls read it from
    // whichever thread they run on.
    const TransportSettings limits_;
    // The discovery client and its transport, made by the first search step
    // and dropped by EndSearch. Only the search's own thread touches them.
    std::shared_ptr<discovery::PosixDiscoveryTransport> searchTransport_;
    std::unique_ptr<discovery::DiscoveryClient> discoveryClient_;
};

}  // namespace orvanta

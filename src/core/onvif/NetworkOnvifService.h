// OnvifService over the network. Its seams (finding a camera by endpoint
// reference, reaching an address, the wall clock, the waits and the PC's
// time zone) are members, so a test runs Apply against a loopback server
// without multicast or real time.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "core/onvif/OnvifDiscovery.h"
#include "core/onvif/OnvifService.h"
#include "core/onvif/OnvifSession.h"

namespace orvanta::onvif {

struct OnvifApplySettings {
    OnvifCallSettings call;
    // How long a camera may take to show up again after its address
    // changed, and after a reboot it asked for.
    std::chrono::milliseconds refindLimit{60000};
    std::chrono::milliseconds rebootLimit{180000};
    // After SystemReboot, before looking: a camera answers as before until
    // it has gone down. It is asked until it stops answering, no longer
    // than this.
    std::chrono::milliseconds rebootGrace{5000};
    // Between two attempts to find it (a search, then a call at the new address).
    std::chrono::milliseconds retryInterval{2000};
    int clockToleranceSeconds = 5;
};

class NetworkOnvifService final : public OnvifService {
public:
    using Finder = std::function<std::optional<DiscoveredOnvifDevice>(const std::string& endpoint,
                                                                      std::chrono::milliseconds limit)>;
    // Makes `address` reachable from the PC (a temporary address in its
    // subnet when it lies in none of the PC's); `prefix` 0 when unknown.
    // False when it cannot be.
    using Reach = std::function<bool(const std::string& address, int prefix)>;
    using Sleep = std::function<void(std::chrono::milliseconds)>;

    explicit NetworkOnvifService(OnvifApplySettings settings = {});

    OnvifResult Read(const std::string& target, const OnvifCredentials& credentials, OnvifDeviceState& state) override;
    OnvifResult Apply(const std::string& target, const OnvifCredentials& credentials, const OnvifChange& change,
                      OnvifDeviceState& after) override;

    void KnowEndpoint(const std::string& target, const std::string& endpoint) override;

    Finder find;        // default: FindOnvifEndpoint (WS-Discovery)
    Reach reach;        // default: nothing to do
    WallClock now;      // default: the system clock
    Sleep sleep;        // default: std::this_thread::sleep_for
    std::function<std::string()> localTimeZone;  // default: LocalPosixTimeZone
    // True once the caller gave up (a window closing): the wait for a moved
    // camera ends at its next turn. Default: never.
    std::function<bool()> cancelled;

private:
    // Waits for the camera after its address changed: by a search for its
    // endpoint reference, and by a call at `newAddress` when it is known,
    // taking turns until `limit`. The device service found serving the new
    // setting, or nullopt.
    std::optional<ServiceUrl> FindAgain(const std::string& endpoint, const ServiceUrl& old,
                                        const std::optional<OnvifIpv4>& newAddress, std::chrono::milliseconds limit,
                                        const OnvifCredentials& credentials);

    // The camera answers at `url` with the new setting in place (any
    // answer when there is none to wait for).
    bool ServesNewAddress(const ServiceUrl& url, const std::optional<OnvifIpv4>& newAddress,
                          const OnvifCredentials& credentials);

    std::string KnownEndpoint(const std::string& target) const;

    // After SystemReboot: until the camera at `url` stops answering, or the
    // grace is over.
    void WaitUntilDown(const ServiceUrl& url, const OnvifCredentials& credentials);

    OnvifApplySettings settings_;
    mutable std::mutex endpointsMutex_;
    std::map<std::string, std::string> endpoints_;  // target -> endpoint reference
};

// A network service for one worker (a plan row): SOAP over HTTP with the
// login cameras want, reaching a moved camera through `reach`. The command
// line's plans and the window's plan dialog both make theirs here.
std::unique_ptr<OnvifService> MakeNetworkOnvifService(const OnvifApplySettings& settings,
                                                      NetworkOnvifService::Reach reach);

}  // namespace orvanta::onvif

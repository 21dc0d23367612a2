// OnvifService over the network. Its seams (finding a camera by endpoint
// reference, reaching an address, the wall clock, the waits and the PC's
// time zone) are members, so a test runs Apply against a loopback server
// without multicast or real time.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "core/onvif/search/ClaimCheck.h"
#include "core/onvif/search/OnvifDiscovery.h"
#include "core/onvif/OnvifService.h"
#include "core/onvif/device/OnvifSession.h"
#include "core/base/MacAddress.h"

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

    OnvifResult Read(const OnvifDevice& device, const OnvifCredentials& credentials, OnvifDeviceState& state) override;
    OnvifResult Apply(const OnvifDevice& device, const OnvifCredentials& credentials, const OnvifChange& change,
                      OnvifDeviceState& after) override;

    Finder find;        // default: FindOnvifEndpoint (WS-Discovery)
    // The hardware address behind an address a search heard the camera's
    // reference from: a camera found again by its reference is used only
    // when this equals the MAC it reported before. Default: the kernel's
    // neighbour table, else ARP through the helper.
    LinkLookup linkAddress;
    // Where a camera given a fixed new address is asked: that address, on
    // the device service's port and path. Tests point it at their own.
    std::function<ServiceUrl(const ServiceUrl&)> fixedAddressUrl;
    Reach reach;        // default: nothing to do
    WallClock now;      // default: the system clock
    Sleep sleep;        // default: std::this_thread::sleep_for
    std::function<std::string()> localTimeZone;  // default: LocalPosixTimeZone
    // True once the caller gave up (a window closing): the wait for a moved
    // camera ends at its next turn. Default: never.
    std::function<bool()> cancelled;

private:
    // Waits for the camera after its address changed, until `limit`. A
    // fixed new address is asked only there. Otherwise (DHCP) it is sought
    // by its endpoint reference, and an address that answers counts only
    // when its hardware address is `mac`; the reference answered from a
    // device that is not the camera stops the wait (a Fault naming both).
    // Ok with `found`, the device service serving the new setting.
    OnvifResult FindAgain(const std::string& endpoint, const std::string& mac, const ServiceUrl& old,
                          const std::optional<OnvifIpv4>& newAddress, std::chrono::milliseconds limit,
                          const OnvifCredentials& credentials, ServiceUrl& found);
    // One search for `endpoint`: the addresses among those that answered
    // whose hardware address is `mac`, or a Fault when another device
    // answered as well.
    OnvifResult VerifiedClaimants(const std::string& endpoint, const MacAddress& mac, std::chrono::milliseconds limit,
                                  std::vector<ServiceUrl>& verified);

    // The camera answers at `url` with the new setting in place (any
    // answer when there is none to wait for).
    bool ServesNewAddress(const ServiceUrl& url, const std::optional<OnvifIpv4>& newAddress,
                          const OnvifCredentials& credentials);

    // After SystemReboot: until the camera at `url` stops answering, or the
    // grace is over.
    void WaitUntilDown(const ServiceUrl& url, const OnvifCredentials& credentials);

    OnvifApplySettings settings_;
};

// A network service for one worker (a plan row): SOAP over HTTP with the
// login cameras want, reaching a moved camera through `reach`. The command
// line's plans and the window's plan dialog both make theirs here.
std::unique_ptr<OnvifService> MakeNetworkOnvifService(const OnvifApplySettings& settings,
                                                      NetworkOnvifService::Reach reach);

}  // namespace orvanta::onvif

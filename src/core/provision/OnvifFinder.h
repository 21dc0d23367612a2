// The ONVIF search that runs beside a provisioning run: WS-Discovery in
// rounds on its own thread, shared by every worker, so that a hundred ONVIF
// rows cost one probe a round, not a hundred.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::provision {

class OnvifFinder {
public:
    // One search round of `round` (SearchOnvifDevices in the real run, a
    // script in tests).
    using Search = std::function<std::vector<onvif::DiscoveredOnvifDevice>(std::chrono::milliseconds round)>;

    OnvifFinder(Search search, std::chrono::milliseconds round);
    ~OnvifFinder();
    OnvifFinder(const OnvifFinder&) = delete;
    OnvifFinder& operator=(const OnvifFinder&) = delete;

    void Start();
    void Stop();

    using Match = std::function<bool(const onvif::DiscoveredOnvifDevice&)>;
    // Waits until a device matching `match` has answered, or `deadline`, or
    // `cancelled`. True with the device as last heard.
    bool WaitFor(const Match& match, std::chrono::steady_clock::time_point deadline,
                 const std::atomic<bool>& cancelled, onvif::DiscoveredOnvifDevice& found) const;

    // Every device heard so far, in the order first heard.
    std::vector<onvif::DiscoveredOnvifDevice> Seen() const;

private:
    void Run();

    Search search_;
    std::chrono::milliseconds round_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<onvif::DiscoveredOnvifDevice> seen_;
};

}  // namespace orvanta::provision

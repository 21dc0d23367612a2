// The search that runs beside a provisioning run: one discovery client on
// its own thread, searching afresh in rounds, so that workers can wait for
// "the camera with this serial, answering from that address, in a reply
// that came after my save". Several workers share one search, so a hundred
// cameras cost one broadcast a round, not a hundred.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "core/discovery/DiscoveredCamera.h"
#include "core/discovery/DiscoverySettings.h"

namespace orvanta::provision {

class CameraFinder {
public:
    // A round: a fresh broadcast, then the replies for `roundMs`.
    explicit CameraFinder(discovery::DiscoverySettings settings, int roundMs = 2000);
    ~CameraFinder();
    CameraFinder(const CameraFinder&) = delete;
    CameraFinder& operator=(const CameraFinder&) = delete;

    // False (with `why`) when the search cannot run: no IPv4 address, or the
    // sockets fail.
    bool Start(std::string& why);
    void Stop();

    // The round under way; replies stamped with a later round came after now.
    int Round() const;

    struct Sighting {
        discovery::DiscoveredCamera record{};
        int round = 0;
    };
    using Match = std::function<bool(const discovery::DiscoveredCamera&)>;

    // Waits until a camera matching `match` answered in a round after
    // `afterRound` (-1: any time so far), or `deadline`, or `cancelled`.
    // True with the sighting.
    bool WaitFor(const Match& match, int afterRound, std::chrono::steady_clock::time_point deadline,
                 const std::atomic<bool>& cancelled, Sighting& found) const;

private:
    void Run();

    discovery::DiscoverySettings settings_;
    int roundMs_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::map<std::string, Sighting> seen_;  // by MAC
    int round_ = 0;
};

}  // namespace orvanta::provision

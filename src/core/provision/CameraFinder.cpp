#include "core/provision/CameraFinder.h"

#include "core/discovery/DiscoveryClient.h"
#include "core/settings/FixedField.h"

namespace orvanta::provision {

namespace {
// One Search waits at most a few hundred milliseconds for replies.
constexpr auto kPollPause = std::chrono::milliseconds(50);
}  // namespace

CameraFinder::CameraFinder(discovery::DiscoverySettings settings, int roundMs)
    : settings_(std::move(settings)), roundMs_(roundMs) {}

CameraFinder::~CameraFinder() { Stop(); }

bool CameraFinder::Start(std::string& why) {
    if (thread_.joinable()) return true;
    // The first search runs here, so that a PC without an address is told at once.
    {
        discovery::DiscoveryClient probe{settings_};
        if (!probe.LoadLocalAddresses()) {
            why = "this PC has no IPv4 address to search from";
            return false;
        }
    }
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void CameraFinder::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

int CameraFinder::Round() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return round_;
}

void CameraFinder::Run() {
    discovery::DiscoveryClient client{settings_};
    while (!stop_) {
        int round;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            round = ++round_;
        }
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(roundMs_);
        bool restart = true;
        while (!stop_ && std::chrono::steady_clock::now() < end) {
            // A failed step (a wait that failed) is tried again in the next one.
            const discovery::SearchResult step = client.Search(restart);
            restart = false;
            if (step.change == discovery::SearchChange::Rebuilt) {
                std::lock_guard<std::mutex> lock(mutex_);
                for (const discovery::DiscoveredCamera& record : step.cameras)
                    seen_[std::string(FieldText(record.MacText))] = {record, round};
                changed_.notify_all();
            }
            std::this_thread::sleep_for(kPollPause);
        }
    }
}

bool CameraFinder::WaitFor(const Match& match, int afterRound, std::chrono::steady_clock::time_point deadline,
                           const std::atomic<bool>& cancelled, Sighting& found) const {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        for (const auto& [mac, sighting] : seen_) {
            if (sighting.round > afterRound && match(sighting.record)) {
                found = sighting;
                return true;
            }
        }
        if (cancelled || std::chrono::steady_clock::now() >= deadline) return false;
        // Woken by new replies; the short wait also notices a cancel.
        changed_.wait_until(lock, std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(200)));
    }
}

}  // namespace orvanta::provision

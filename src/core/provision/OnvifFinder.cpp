#include "core/provision/OnvifFinder.h"

#include "core/onvif/search/OnvifDeviceList.h"

namespace orvanta::provision {

OnvifFinder::OnvifFinder(Search search, std::chrono::milliseconds round) : search_(std::move(search)), round_(round) {}

OnvifFinder::~OnvifFinder() { Stop(); }

void OnvifFinder::Start() {
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
}

void OnvifFinder::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void OnvifFinder::Run() {
    while (!stop_) {
        const std::vector<onvif::DiscoveredOnvifDevice> round = search_(round_);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            // A device heard again replaces what was known of it: after a
            // change of address it answers from the new one.
            for (const auto& d : round) {
                bool known = false;
                for (auto& have : seen_) {
                    if (!onvif::SameEndpoint(have.endpoint, d.endpoint)) continue;
                    have = d;
                    known = true;
                }
                if (!known) seen_.push_back(d);
            }
        }
        changed_.notify_all();
    }
}

bool OnvifFinder::WaitFor(const Match& match, std::chrono::steady_clock::time_point deadline,
                          const std::atomic<bool>& cancelled, onvif::DiscoveredOnvifDevice& found) const {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        for (const auto& d : seen_) {
            if (!match(d)) continue;
            found = d;
            return true;
        }
        if (cancelled || std::chrono::steady_clock::now() >= deadline) return false;
        // Woken by each round; the short wait also notices a cancel.
        changed_.wait_until(lock, std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(200)));
    }
}

std::vector<onvif::DiscoveredOnvifDevice> OnvifFinder::Seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

}  // namespace orvanta::provision

#include "core/onvif/search/OnvifSearch.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "core/onvif/search/WsdSockets.h"

namespace orvanta::onvif {

namespace {

using Clock = std::chrono::steady_clock;

// How often the listening thread hands what it heard to the window, and
// notices that it should stop.
constexpr std::chrono::milliseconds kSlice{100};

class NetworkOnvifSearch final : public OnvifSearch {
public:
    explicit NetworkOnvifSearch(const OnvifDiscoverySettings& settings) : settings_(settings) {}
    ~NetworkOnvifSearch() override { End(); }

    OnvifSearchReport Begin() override {
        End();
        OnvifSearchReport report;
        std::vector<ProbeCard> cards = CardsToSearch(settings_);
        if (cards.empty()) {
            report.why = settings_.onlyInterface.empty() ? "no network card is up with an IPv4 address"
                                                         : "card " + settings_.onlyInterface + " is not up";
            return report;
        }
        auto session = std::make_unique<WsdSockets>(std::move(cards));
        if (!session->Open()) {
            report.why = "no probe could be sent from any address of the PC";
            return report;
        }
        session->Probe();
        report.ran = true;
        {
            const std::lock_guard lock(mutex_);
            heard_.clear();
            unreadable_.clear();
            version_ = 0;
            looked_ = 0;
        }
        stop_ = false;
        listener_ = std::thread([this, s = std::move(session)] { Listen(*s); });
        return report;
    }

    bool Look(std::vector<DiscoveredOnvifDevice>& devices) override {
        const std::lock_guard lock(mutex_);
        devices = heard_;
        const bool changed = version_ != looked_;
        looked_ = version_;
        return changed;
    }

    std::string Unreadable() override {
        const std::lock_guard lock(mutex_);
        return unreadable_;
    }

    void End() override {
        stop_ = true;
        if (listener_.joinable()) listener_.join();
    }

private:
    void Listen(WsdSockets& session) {
        const auto end = Clock::now() + settings_.duration;
        const int repeats = std::max(1, settings_.repeats);
        const auto gap = std::min<Clock::duration>(std::chrono::milliseconds(500), settings_.duration / (2 * repeats));
        auto nextRepeat = Clock::now() + gap;
        int repeated = 1;
        while (!stop_ && Clock::now() < end) {
            session.Listen(std::min({end, Clock::now() + kSlice, repeated < repeats ? nextRepeat : end}));
            if (repeated < repeats && Clock::now() >= nextRepeat) {
                session.Repeat();
                ++repeated;
                nextRepeat = Clock::now() + gap;
            }
            Publish(session);
        }
        Publish(session);
    }

    void Publish(const WsdSockets& session) {
        const std::vector<DiscoveredOnvifDevice>& now = session.Devices().Devices();
        const std::lock_guard lock(mutex_);
        unreadable_ = session.UnreadableSummary();
        if (Same(now, heard_)) return;
        heard_ = now;
        ++version_;
    }

    // A camera that answered again, or on one more card, is news too.
    static bool Same(const std::vector<DiscoveredOnvifDevice>& a, const std::vector<DiscoveredOnvifDevice>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i].endpoint != b[i].endpoint || a[i].xaddrs != b[i].xaddrs || a[i].interfaces != b[i].interfaces ||
                a[i].name != b[i].name || a[i].hardware != b[i].hardware)
                return false;
        return true;
    }

    const OnvifDiscoverySettings settings_;
    std::thread listener_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<DiscoveredOnvifDevice> heard_;
    std::string unreadable_;
    unsigned version_ = 0;
    unsigned looked_ = 0;
};

}  // namespace

std::unique_ptr<OnvifSearch> MakeNetworkOnvifSearch(const OnvifDiscoverySettings& settings) {
    return std::make_unique<NetworkOnvifSearch>(settings);
}

}  // namespace orvanta::onvif

#include "core/onvif/search/OnvifDiscovery.h"

#include <algorithm>

#include "core/onvif/search/WsdSockets.h"
#include "core/base/Diagnostics.h"

namespace orvanta::onvif {

namespace {

using Clock = std::chrono::steady_clock;

// How long after a probe every device that claims a reference has
// answered it (WS-Discovery's largest reply delay is half a second).
constexpr std::chrono::milliseconds kClaimWindow{1000};

}  // namespace

std::vector<ProbeCard> CardsToSearch(const OnvifDiscoverySettings& settings) {
    const hostnet::AdapterList adapters = hostnet::MakeLinuxHostNetwork()->ListAdapters();
    if (!adapters.ok && !adapters.noData)
        Diagnostic("onvif discovery: the PC's cards cannot be listed: %s", adapters.error.c_str());
    std::vector<ProbeCard> cards = ProbeCards(adapters, settings.onlyInterface);
    if (cards.empty())
        Diagnostic(settings.onlyInterface.empty() ? "onvif discovery: no card is up with an IPv4 address"
                                                  : "onvif discovery: card %s is not up with an IPv4 address",
                   settings.onlyInterface.c_str());
    return cards;
}

namespace {

// Repeats spread over the first part of the search, no more than half a
// second apart (a device waits up to that long before it answers).
Clock::duration RepeatGap(const OnvifDiscoverySettings& settings) {
    const int repeats = std::max(1, settings.repeats);
    return std::min<Clock::duration>(std::chrono::milliseconds(500), settings.duration / (2 * repeats));
}

}  // namespace

std::vector<DiscoveredOnvifDevice> SearchOnvifDevices(const OnvifDiscoverySettings& settings) {
    OnvifSearchReport report;
    return SearchOnvifDevices(settings, report);
}

std::vector<DiscoveredOnvifDevice> SearchOnvifDevices(const OnvifDiscoverySettings& settings,
                                                      OnvifSearchReport& report) {
    const auto end = Clock::now() + settings.duration;
    const std::vector<ProbeCard> cards = CardsToSearch(settings);
    WsdSockets session(cards);
    report = {};
    if (cards.empty()) {
        report.why = settings.onlyInterface.empty() ? "no network card is up with an IPv4 address"
                                                    : "card " + settings.onlyInterface + " is not up with an IPv4 address";
        return {};
    }
    if (!session.Open()) {
        report.why = "no probe could be sent from any address of the PC (see --verbose)";
        return {};
    }
    report.ran = true;
    session.Probe();
    const auto gap = RepeatGap(settings);
    for (int i = 1; i < settings.repeats; ++i) {
        session.Listen(std::min(end, Clock::now() + gap));
        session.Repeat();
    }
    session.Listen(end);
    report.unreadable = session.UnreadableSummary();
    return session.Devices().Devices();
}

std::optional<DiscoveredOnvifDevice> FindOnvifEndpoint(const std::string& endpoint, std::chrono::milliseconds limit,
                                                       const OnvifDiscoverySettings& settings,
                                                       std::chrono::milliseconds interval) {
    const auto end = Clock::now() + limit;
    WsdSockets session(CardsToSearch(settings));
    if (!session.Open()) return std::nullopt;
    const auto found = [&] { return session.Devices().Find(endpoint) != nullptr; };
    if (interval.count() <= 0) interval = std::chrono::milliseconds(2000);
    while (Clock::now() < end) {
        // A fresh MessageID each round: a device drops a message it has
        // already answered, and one that has just moved must answer anew.
        session.Probe();
        const auto probed = Clock::now();
        const auto roundEnd = std::min(end, Clock::now() + interval);
        const auto gap = RepeatGap(settings);
        for (int i = 1; i < settings.repeats && !found(); ++i) {
            session.Listen(std::min(roundEnd, Clock::now() + gap), found);
            if (!found()) session.Repeat();
        }
        if (!found()) session.Listen(roundEnd, found);
        if (found()) {
            // Anything on the LAN may answer with this reference: every
            // device that does so answers the same probe within its reply
            // delay, so the caller learns of a second one before it trusts
            // the first.
            session.Listen(std::min(roundEnd, std::max(Clock::now(), probed + kClaimWindow)));
            return *session.Devices().Find(endpoint);
        }
    }
    return std::nullopt;
}

}  // namespace orvanta::onvif

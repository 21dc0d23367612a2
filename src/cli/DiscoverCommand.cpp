// orvanta-cli discover: the search page's search without the page, and the
// WS-Discovery search for ONVIF cameras beside it, both within the same
// --seconds. Our own search calls Search once a second (a restart on the
// first call), once more when the listening time is over; the ONVIF search
// runs on its own thread meanwhile. One listing, a `kind` per row.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "CliCommands.h"
#include "CommandLine.h"
#include "core/discovery/DiscoveryClient.h"
#include "core/discovery/DiscoveredCameraWriter.h"
#include "core/discovery/PosixDiscoveryTransport.h"
#include "core/onvif/search/OnvifDeviceWriter.h"
#include "core/onvif/search/OnvifDiscovery.h"
#include "core/output/KindTable.h"

namespace orvanta::cli {

namespace {

constexpr int kMaxSeconds = 3600;
// Beyond --seconds, for the last poll and the output, before --timeout's
// default gives up.
constexpr int kTimeoutMarginSeconds = 30;

bool ParseSeconds(const std::string& text, int& seconds) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v < 1 || v > kMaxSeconds) return false;
    seconds = static_cast<int>(v);
    return true;
}

// Our own cameras: kExitDone with the records, or the exit code of a
// failure already reported. `sent` is called once the request went out.
int SearchNative(const ParsedArgs& p, int seconds, const std::string& format,
                 std::vector<discovery::DiscoveredCamera>& found, const std::function<void()>& sent) {
    using namespace orvanta::discovery;
    // The request goes out of every card, or of the one named; the
    // transport tells when it could not leave through any.
    DiscoverySettings settings;
    const auto transport = std::make_shared<PosixDiscoveryTransport>(settings.receiveBufferBytes, p.Get("--interface"));
    settings.transport = transport;
    DiscoveryClient client(settings);

    std::span<const DiscoveredCamera> cameras;
    bool ran = false;
    const auto start = std::chrono::steady_clock::now();
    // The call at `seconds` takes what arrived during the last second; without
    // it the listing would end when the last per-second call returns.
    for (int tick = 0; tick <= seconds; ++tick) {
        if (tick > 0) std::this_thread::sleep_until(start + std::chrono::seconds(tick));
        // A failed call leaves the last good listing in place, as the page does.
        if (const discovery::SearchResult step = client.Search(tick == 0);
            step.change != discovery::SearchChange::Failed) {
            ran = true;
            cameras = step.cameras;
            // The first call sends the request; an empty listing after it
            // failed everywhere would say "no camera" where none was asked.
            const auto& sent = transport->LastSend();
            if (tick == 0 && sent.EveryCardFailed()) {
                const std::string why = sent.failedCard.empty()
                                            ? std::string("no network card is up to send the search request")
                                            : "cannot send the search request on " + sent.failedCard + ": " +
                                                  std::strerror(sent.error);
                return Fail("discover", kExitFailed, why, format == "json");
            }
        }
        if (tick == 0 && sent) sent();
    }
    if (!ran) {
        return Fail("discover", kExitFailed,
                    std::string("the search could not run: ") +
                        (client.LookupFailed() ? "this PC has no IPv4 address" : "the network wait failed"),
                    format == "json");
    }
    // The records belong to the client, which ends here.
    found.assign(cameras.begin(), cameras.end());
    return kExitDone;
}

// Replies that could not be read may be cameras: one line says how many,
// even without --verbose (which shows each with its reason).
void SayUnreadable(const onvif::OnvifSearchReport& report, bool verbose) {
    if (report.unreadable.empty()) return;
    std::fprintf(stderr, "orvanta-cli discover: %s%s\n", report.unreadable.c_str(),
                 verbose ? "" : "; --verbose shows them");
}

}  // namespace

int RunDiscover(const Args& args) {
    using namespace orvanta::discovery;
    ParsedArgs p;
    std::string why, format;
    int seconds = 6;
    if (!ParseOptions(args, {{"--seconds", true}, {"--format", true}, {"--interface", true}, {"--kind", true}}, p,
                      why) ||
        !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("discover", why);
    const std::string kind = p.Get("--kind", "all");
    if (kind != "native" && kind != "onvif" && kind != "all")
        return UsageError("discover", "--kind takes native, onvif or all");
    const bool native = kind != "onvif", onvif = kind != "native";
    if (!p.positional.empty()) return UsageError("discover", "unexpected argument '" + p.positional.front() + "'");
    if (p.values.count("--seconds") && !ParseSeconds(p.Get("--seconds"), seconds))
        return UsageError("discover", "--seconds takes a whole number from 1 to 3600");
    if (p.values.count("--interface") && p.Get("--interface").empty())
        return UsageError("discover", "--interface needs a card's name");
    if (!ApplyCommonOptions("discover", p, seconds + kTimeoutMarginSeconds, why)) return UsageError("discover", why);

    // The ONVIF search listens as long as ours, on its own thread, started
    // once our request went out (so a PC without an address fails at once).
    std::vector<onvif::DiscoveredOnvifDevice> onvifDevices;
    onvif::OnvifSearchReport onvifReport;
    std::thread onvifSearch;
    const auto startOnvif = [&] {
        onvif::OnvifDiscoverySettings settings;
        settings.duration = std::chrono::seconds(seconds);
        settings.onlyInterface = p.Get("--interface");
        onvifSearch = std::thread([&, settings] { onvifDevices = onvif::SearchOnvifDevices(settings, onvifReport); });
    };
    std::vector<DiscoveredCamera> records;
    if (native) {
        const int result = SearchNative(p, seconds, format, records, onvif ? std::function<void()>(startOnvif) : nullptr);
        if (result != kExitDone) {
            if (onvifSearch.joinable()) onvifSearch.join();
            return result;
        }
    } else {
        startOnvif();
    }
    if (onvifSearch.joinable()) onvifSearch.join();
    // A listing without the ONVIF rows asked for would say there are none.
    if (onvif && !onvifReport.ran)
        return Fail("discover", kExitFailed, "the ONVIF search could not run: " + onvifReport.why, format == "json");
    SayUnreadable(onvifReport, p.Has("--verbose"));

    std::vector<std::pair<std::string, output::OutputTable>> kinds;
    if (native) kinds.emplace_back("native", DiscoveredCameraWriter::Table(records.data(), static_cast<int>(records.size())));
    if (onvif) kinds.emplace_back("onvif", onvif::OnvifDeviceTable(onvifDevices));
    RecordFormat f = RecordFormat::Text;
    DiscoveredCameraWriter::ParseFormat(format, f);
    PrintResult(output::WriteTable(f, output::KindTable(kinds), StdoutIsTerminal()));
    return kExitDone;
}

}  // namespace orvanta::cli

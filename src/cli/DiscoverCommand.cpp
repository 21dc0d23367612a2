// orvanta-cli discover: the search page's search without the page, and the
// WS-Discovery search for ONVIF cameras beside it, both within the same
// --seconds. Our own search calls Search once a second (a restart on the
// first call), once more when the listening time is over; the ONVIF search
// runs on its own thread meanwhile. One listing, a `kind` per row. With
// --range, the ONVIF devices beyond the PC's links are asked address by
// address instead (see RangeSurvey), and the listing ends with the survey.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "CliCommands.h"
#include "CommandLine.h"
#include "core/discovery/DiscoveryClient.h"
#include "core/discovery/DiscoveredCameraWriter.h"
#include "core/discovery/PosixDiscoveryTransport.h"
#include "core/hostnet/HostNetwork.h"
#include "core/onvif/search/AddressRanges.h"
#include "core/onvif/search/OnvifDeviceWriter.h"
#include "core/onvif/search/OnvifDiscovery.h"
#include "core/onvif/search/OnvifSearch.h"
#include "core/onvif/search/RangeSurvey.h"
#include "core/output/KindTable.h"

namespace orvanta::cli {

namespace {

using std::chrono::milliseconds;

constexpr int kMaxSeconds = 3600;
// A search shorter than this misses cameras that wait their random
// WS-Discovery delay (up to 100 ms) on a loaded network.
constexpr milliseconds kMinListen{200};
// Beyond --seconds, for the last poll and the output, before --timeout's
// default gives up.
constexpr int kTimeoutMarginSeconds = 30;
constexpr int kMaxRate = 100000;

// "6", "0.5", "1.25": whole seconds or fractions to the millisecond.
bool ParseSeconds(const std::string& text, milliseconds& listen) {
    const std::size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot), fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    if ((whole.empty() && fraction.empty()) || whole.size() > 4 || fraction.size() > 3 ||
        (dot != std::string::npos && fraction.empty()) ||
        (whole + fraction).find_first_not_of("0123456789") != std::string::npos)
        return false;
    long ms = (whole.empty() ? 0 : std::strtol(whole.c_str(), nullptr, 10)) * 1000;
    if (!fraction.empty()) ms += std::strtol((fraction + "00").substr(0, 3).c_str(), nullptr, 10);
    if (ms < kMinListen.count() || ms > kMaxSeconds * 1000L) return false;
    listen = milliseconds(ms);
    return true;
}

int WholeSecondsUp(milliseconds d) { return static_cast<int>((d.count() + 999) / 1000); }

// ONVIF rows in text, each printed as it is heard; the rest of the
// listing (CSV, JSON, other kinds) waits for the end.
class OnvifRowPrinter {
public:
    explicit OnvifRowPrinter(bool active) : active_(active) {}
    bool Active() const { return active_; }
    void Heard(const onvif::DiscoveredOnvifDevice& d) {
        if (!active_) return;
        const std::string text =
            output::WriteTable(output::OutputFormat::Text, output::KindTable({{"onvif", onvif::OnvifDeviceTable({d})}}),
                               StdoutIsTerminal());
        // The header once, then each row's line alone.
        const std::size_t headerEnd = text.find('\n');
        if (!header_) PrintProgress(text.substr(0, headerEnd + 1));
        header_ = true;
        PrintProgress(text.substr(headerEnd + 1));
    }
    // After the search: the header alone when nothing was heard, so the
    // listing reads as an empty one.
    void End() {
        if (!active_) return;
        if (!header_) {
            const std::string text = output::WriteTable(
                output::OutputFormat::Text, output::KindTable({{"onvif", onvif::OnvifDeviceTable({})}}), false);
            PrintResult(text);
        } else {
            PrintResult("");
        }
    }

private:
    bool active_;
    bool header_ = false;
};

// Our own cameras: kExitDone with the records, or the exit code of a
// failure already reported. `sent` is called once the request went out.
int SearchNative(const ParsedArgs& p, milliseconds listen, const std::string& format,
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
    // The call at the end takes what arrived since the last whole second;
    // without it the listing would end when the last per-second call returns.
    const int ticks = WholeSecondsUp(listen);
    for (int tick = 0; tick <= ticks; ++tick) {
        if (tick > 0) std::this_thread::sleep_until(start + std::min<milliseconds>(std::chrono::seconds(tick), listen));
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


// The ONVIF devices of --range: the ranges checked and thinned before
// anything is sent, then surveyed on this thread.
int SurveyRanges(const ParsedArgs& p, const std::string& format, std::optional<milliseconds> listen, int rate,
                 OnvifRowPrinter& rows) {
    std::string why;
    const auto ranges = onvif::ParseAddressRanges(p.Get("--range"), why);
    if (!ranges) return UsageError("discover", "--range: " + why);
    const hostnet::AdapterList adapters = hostnet::MakeLinuxHostNetwork()->ListAdapters();
    std::size_t skipped = 0;
    const std::vector<uint32_t> addresses = onvif::AddressesToSurvey(*ranges, adapters.adapters, onvif::RoutersOfThePc(), &skipped);
    if (skipped)
        std::fprintf(stderr, "orvanta-cli discover: %zu address%s of the PC or its router%s left out of the range\n",
                     skipped, skipped == 1 ? "" : "es", skipped == 1 ? "" : "s");
    onvif::RangeSurveySettings settings;
    settings.packetsPerSecond = rate;
    if (listen) settings.within = Deadline::After(static_cast<int>(listen->count()));
    settings.heard = [&](const onvif::DiscoveredOnvifDevice& d) { rows.Heard(d); };
    // Each probe, its repeat and every port: the longest the survey takes
    // at this rate, plus the waits; the watchdog gives it that and a margin.
    const std::size_t packets = addresses.size() * (settings.probeTries + settings.ports.size());
    const int seconds = listen ? WholeSecondsUp(*listen)
                               : static_cast<int>(packets / static_cast<std::size_t>(rate)) + 5;
    if (!ApplyCommonOptions("discover", p, seconds + kTimeoutMarginSeconds, why)) return UsageError("discover", why);
    // Each connection attempt under way holds a socket: the survey may use
    // as many as the system lets this process have.
    if (rlimit files{}; ::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = std::min<rlim_t>(files.rlim_max, 65536);
        (void)::setrlimit(RLIMIT_NOFILE, &files);
    }
    onvif::RangeSurveyReport report;
    const std::vector<onvif::DiscoveredOnvifDevice> devices = onvif::SurveyAddresses(addresses, settings, report);
    if (!report.ran) return Fail("discover", kExitFailed, "the range search could not run: " + report.why, format == "json");
    if (report.unreadable)
        std::fprintf(stderr, "orvanta-cli discover: %zu answer%s could not be read%s\n", report.unreadable,
                     report.unreadable == 1 ? "" : "s", p.Has("--verbose") ? "" : "; --verbose shows them");
    if (rows.Active()) {
        rows.End();
        return kExitDone;
    }
    discovery::RecordFormat f = discovery::RecordFormat::Text;
    discovery::DiscoveredCameraWriter::ParseFormat(format, f);
    PrintResult(output::WriteTable(f, output::KindTable({{"onvif", onvif::OnvifDeviceTable(devices)}}),
                                   StdoutIsTerminal()));
    return kExitDone;
}

// The multicast ONVIF search alone, each camera printed as it is heard.
std::vector<onvif::DiscoveredOnvifDevice> SearchOnvifPrinting(const onvif::OnvifDiscoverySettings& settings,
                                                              onvif::OnvifSearchReport& report,
                                                              OnvifRowPrinter& rows) {
    const std::unique_ptr<onvif::OnvifSearch> search = onvif::MakeNetworkOnvifSearch(settings);
    report = search->Begin();
    std::vector<onvif::DiscoveredOnvifDevice> devices;
    if (!report.ran) return devices;
    std::size_t printed = 0;
    const auto end = std::chrono::steady_clock::now() + settings.duration;
    for (;;) {
        const bool last = std::chrono::steady_clock::now() >= end;
        search->Look(devices);
        for (; printed < devices.size(); ++printed) rows.Heard(devices[printed]);
        if (last) break;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            milliseconds(20), end - std::chrono::steady_clock::now()));
    }
    report.unreadable = search->Unreadable();
    search->End();
    return devices;
}

}  // namespace

int RunDiscover(const Args& args) {
    using namespace orvanta::discovery;
    ParsedArgs p;
    std::string why, format;
    milliseconds listen{6000};
    if (!ParseOptions(args,
                      {{"--seconds", true}, {"--format", true}, {"--interface", true}, {"--kind", true},
                       {"--range", true}, {"--rate", true}},
                      p, why) ||
        !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("discover", why);
    const bool range = p.values.count("--range") != 0;
    const std::string kind = p.Get("--kind", range ? "onvif" : "all");
    if (kind != "native" && kind != "onvif" && kind != "all")
        return UsageError("discover", "--kind takes native, onvif or all");
    if (range && kind != "onvif") return UsageError("discover", "--range searches ONVIF devices only (--kind onvif)");
    const bool native = kind != "onvif", onvif = kind != "native";
    if (!p.positional.empty()) return UsageError("discover", "unexpected argument '" + p.positional.front() + "'");
    if (p.values.count("--seconds") && !ParseSeconds(p.Get("--seconds"), listen))
        return UsageError("discover", "--seconds takes 0.2 to 3600 (fractions to the millisecond)");
    if (p.values.count("--interface") && p.Get("--interface").empty())
        return UsageError("discover", "--interface needs a card's name");
    long rate = 1000;
    if (p.values.count("--rate")) {
        const std::string r = p.Get("--rate");
        if (!range) return UsageError("discover", "--rate goes with --range");
        if (r.empty() || r.size() > 6 || r.find_first_not_of("0123456789") != std::string::npos ||
            (rate = std::strtol(r.c_str(), nullptr, 10)) < 1 || rate > kMaxRate)
            return UsageError("discover", "--rate takes packets a second from 1 to " + std::to_string(kMaxRate));
    }
    if (range && p.values.count("--interface"))
        return UsageError("discover", "--range goes where the PC's routes lead; --interface does not apply");
    // Rows as they are heard: text only (CSV and JSON are whole documents),
    // and only where ONVIF rows are all there is to print.
    OnvifRowPrinter rows(format == "text" && kind == "onvif");
    if (range)
        return SurveyRanges(p, format,
                            p.values.count("--seconds") ? std::optional<milliseconds>(listen) : std::nullopt,
                            static_cast<int>(rate), rows);
    if (!ApplyCommonOptions("discover", p, WholeSecondsUp(listen) + kTimeoutMarginSeconds, why))
        return UsageError("discover", why);

    // The ONVIF search listens as long as ours, on its own thread, started
    // once our request went out (so a PC without an address fails at once).
    std::vector<onvif::DiscoveredOnvifDevice> onvifDevices;
    onvif::OnvifSearchReport onvifReport;
    std::thread onvifSearch;
    const auto startOnvif = [&] {
        onvif::OnvifDiscoverySettings settings;
        settings.duration = listen;
        settings.onlyInterface = p.Get("--interface");
        onvifSearch = std::thread([&, settings] {
            onvifDevices = rows.Active() ? SearchOnvifPrinting(settings, onvifReport, rows)
                                         : onvif::SearchOnvifDevices(settings, onvifReport);
        });
    };
    std::vector<DiscoveredCamera> records;
    if (native) {
        const int result = SearchNative(p, listen, format, records, onvif ? std::function<void()>(startOnvif) : nullptr);
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
    if (rows.Active()) {
        rows.End();
        return kExitDone;
    }

    std::vector<std::pair<std::string, output::OutputTable>> kinds;
    if (native) kinds.emplace_back("native", DiscoveredCameraWriter::Table(records.data(), static_cast<int>(records.size())));
    if (onvif) kinds.emplace_back("onvif", onvif::OnvifDeviceTable(onvifDevices));
    RecordFormat f = RecordFormat::Text;
    DiscoveredCameraWriter::ParseFormat(format, f);
    PrintResult(output::WriteTable(f, output::KindTable(kinds), StdoutIsTerminal()));
    return kExitDone;
}

}  // namespace orvanta::cli

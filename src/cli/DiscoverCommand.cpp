// orvanta-cli discover: the search page's search without the page. Calls
// Search once a second (a restart on the first call), once more when the
// listening time is over, and prints the final list of cameras.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "CliCommands.h"
#include "CommandLine.h"
#include "core/discovery/DiscoveryClient.h"
#include "core/discovery/DiscoveredCameraWriter.h"
#include "core/discovery/PosixDiscoveryTransport.h"

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

}  // namespace

int RunDiscover(const Args& args) {
    using namespace orvanta::discovery;
    ParsedArgs p;
    std::string why, format;
    int seconds = 6;
    if (!ParseOptions(args, {{"--seconds", true}, {"--format", true}, {"--interface", true}}, p, why) ||
        !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("discover", why);
    if (!p.positional.empty()) return UsageError("discover", "unexpected argument '" + p.positional.front() + "'");
    if (p.values.count("--seconds") && !ParseSeconds(p.Get("--seconds"), seconds))
        return UsageError("discover", "--seconds takes a whole number from 1 to 3600");
    if (p.values.count("--interface") && p.Get("--interface").empty())
        return UsageError("discover", "--interface needs a card's name");
    if (!ApplyCommonOptions("discover", p, seconds + kTimeoutMarginSeconds, why)) return UsageError("discover", why);

    // The request goes out of every card, or of the one named; the
    // transport tells when it could not leave through any.
    DiscoverySettings settings;
    const auto transport = std::make_shared<PosixDiscoveryTransport>(settings.receiveBufferBytes, p.Get("--interface"));
    settings.transport = transport;
    DiscoveryClient client(settings);

    DiscoveredCamera* records = nullptr;
    int count = 0;
    bool ran = false;
    const auto start = std::chrono::steady_clock::now();
    // The call at `seconds` takes what arrived during the last second; without
    // it the listing would end when the last per-second call returns.
    for (int tick = 0; tick <= seconds; ++tick) {
        if (tick > 0) std::this_thread::sleep_until(start + std::chrono::seconds(tick));
        DiscoveredCamera* r = nullptr;
        int n = 0;
        int cap = 0;
        // A failed call leaves the last good listing in place, as the page does.
        if (client.Search(&r, &n, &cap, tick == 0 ? 1 : 0) >= 0) {
            ran = true;
            records = r;
            count = n;
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
    }
    if (!ran) {
        return Fail("discover", kExitFailed,
                    std::string("the search could not run: ") +
                        (client.LookupFailed() ? "this PC has no IPv4 address" : "the network wait failed"),
                    format == "json");
    }
    RecordFormat f = RecordFormat::Text;
    DiscoveredCameraWriter::ParseFormat(format, f);
    PrintResult(DiscoveredCameraWriter::Write(f, records, count, StdoutIsTerminal()));
    return kExitDone;
}

}  // namespace orvanta::cli

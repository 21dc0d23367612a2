// orvanta-cli discover: the search page's search without the page. Calls
// Search once a second (a restart on the first call), once more when the
// listening time is over, and prints the final list of cameras.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "CliCommands.h"
#include "core/discovery/CVorel.h"
#include "core/discovery/DiscoveredCameraWriter.h"

namespace orvanta::cli {

namespace {

constexpr int kMaxSeconds = 3600;

int UsageError(const std::string& why) {
    std::fprintf(stderr,
                 "orvanta-cli discover: %s\n"
                 "usage: orvanta-cli discover [--seconds N] [--format text|csv|json] [--verbose]\n",
                 why.c_str());
    return 2;
}

bool ParseSeconds(const std::string& text, int& seconds) {
    if (text.empty() || text.size() > 5) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (!end || *end != '\0' || v < 1 || v > kMaxSeconds) return false;
    seconds = static_cast<int>(v);
    return true;
}

}  // namespace

int RunDiscover(const Args& args) {
    using namespace orvanta::discovery;
    int seconds = 6;
    RecordFormat format = RecordFormat::Text;
    bool verbose = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--seconds" || a == "--format") {
            if (i + 1 >= args.size()) return UsageError(a + " needs a value");
            const std::string& v = args[++i];
            if (a == "--seconds" && !ParseSeconds(v, seconds))
                return UsageError("--seconds takes a whole number from 1 to 3600");
            if (a == "--format" && !DiscoveredCameraWriter::ParseFormat(v, format))
                return UsageError("--format takes text, csv or json");
        } else if (a == "--verbose") {
            verbose = true;
        } else {
            return UsageError("unexpected argument '" + a + "'");
        }
    }

    // Standard output carries the listing; the client's diagnostic lines go
    // to standard error, and only when asked for.
    VorelSettings settings;
    settings.diagnostics = verbose ? stderr : nullptr;
    CVorel vorel(settings);

    DiscoveredCamera* records = nullptr;
    int count = 0;
    int capacity = 0;
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
        if (vorel.Search(&r, &n, &cap, tick == 0 ? 1 : 0) >= 0) {
            ran = true;
            records = r;
            count = n;
            capacity = cap;
        }
    }
    if (!ran) {
        std::fprintf(stderr, "orvanta-cli discover: the search could not run: %s\n",
                     vorel.LookupFailed() ? "this PC has no IPv4 address" : "the network wait failed");
        return 1;
    }
    (void)capacity;
    const std::string out = DiscoveredCameraWriter::Write(format, records, count);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace orvanta::cli

// One search as the search page runs it (six calls a second apart, the first
// a restart) against a known number of simulated cameras. Prints the share
// of cameras found, the CPU time that one Search call spends beyond its
// socket waits (what the window's thread pays) and the CPU of the whole
// search, receiving threads included. Run inside a lab namespace:
// bench/discovery_lab.sh does.
//
// usage: bench_discovery EXPECTED_CAMERAS [TICKS]
// env:   BENCH_VERBOSE=1 prints every call; BENCH_RCVBUF=N sets the receive buffer;
//        BENCH_RMEM_MAX=N caps it as a net.core.rmem_max of N caps an ordinary
//        user's request (root passes the cap and is not affected)
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "core/discovery/DiscoveryClient.h"

using namespace orvanta::discovery;

namespace {

double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double ProcessCpuMs() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e3 +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e3;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_discovery EXPECTED_CAMERAS [TICKS]\n");
        return 2;
    }
    const int expected = std::atoi(argv[1]);
    const int ticks = argc > 2 ? std::atoi(argv[2]) : 6;
    // The diagnostic lines stay on (part of the cost of a call); with no
    // sink installed they do not flood the bench's own output.
    DiscoverySettings settings;
    // BENCH_RCVBUF=0 keeps the system's default receive buffer, to show what
    // the larger one buys.
    if (const char* rcvbuf = std::getenv("BENCH_RCVBUF")) settings.receiveBufferBytes = std::atoi(rcvbuf);
    // net.core.rmem_max is one value for the whole host, so a bench does not
    // lower it for others; an ordinary user's request capped at N gets what
    // that limit would give.
    if (const char* cap = std::getenv("BENCH_RMEM_MAX"); cap && geteuid() != 0)
        settings.receiveBufferBytes = std::min(settings.receiveBufferBytes, std::atoi(cap));
    const double processBefore = ProcessCpuMs();
    DiscoveryClient client(settings);

    std::vector<double> cpu;
    std::size_t count = 0;
    int failed = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int tick = 0; tick < ticks; ++tick) {
        std::this_thread::sleep_until(start + std::chrono::seconds(tick));
        const double before = ThreadCpuMs();
        const SearchResult step = client.Search(tick == 0);
        cpu.push_back(ThreadCpuMs() - before);
        const bool stepFailed = step.change == SearchChange::Failed;
        failed += stepFailed;
        // A failed step leaves the count of the last good one.
        if (!stepFailed) count = step.cameras.size();
        if (std::getenv("BENCH_VERBOSE"))
            std::printf("  call %d: %s count %zu cpu %.2f ms\n", tick + 1,
                        stepFailed ? "failed" : step.change == SearchChange::Rebuilt ? "rebuilt" : "unchanged",
                        count, cpu.back());
    }
    // The quietest call is the cost of the waits themselves (60 wake-ups and
    // the address lookup); the busiest one carries the burst of replies.
    double max = 0, sum = 0, min = cpu.empty() ? 0 : cpu[0];
    for (double c : cpu) {
        max = c > max ? c : max;
        min = c < min ? c : min;
        sum += c;
    }
    const double processCpu = ProcessCpuMs() - processBefore;
    std::printf("cameras %5d  found %5d  share %7.3f%%  search cpu ms: max %.2f  mean %.2f  quietest %.2f"
                "  process %.1f%s\n",
                expected, static_cast<int>(count), expected ? 100.0 * static_cast<double>(count) / expected : 0.0, max,
                cpu.empty() ? 0 : sum / cpu.size(), min, processCpu, failed ? "  (some calls failed)" : "");
    return 0;
}

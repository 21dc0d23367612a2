// One search as the search page runs it (six calls a second apart, the first
// a restart) against a known number of simulated cameras. Prints the share
// of cameras found and the CPU time that one Search call spends beyond its
// socket waits. Run inside a lab namespace: bench/discovery_lab.sh does.
//
// usage: bench_discovery EXPECTED_CAMERAS [TICKS]
// env:   BENCH_VERBOSE=1 prints every call; BENCH_RCVBUF=N sets the receive buffer
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "core/discovery/CVorel.h"

using namespace orvanta::discovery;

namespace {

double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_discovery EXPECTED_CAMERAS [TICKS]\n");
        return 2;
    }
    const int expected = std::atoi(argv[1]);
    const int ticks = argc > 2 ? std::atoi(argv[2]) : 6;
    // The diagnostic lines are part of the cost of a call; write them where
    // they cost what they cost but do not flood the bench's own output.
    FILE* devnull = std::fopen("/dev/null", "w");
    VorelSettings settings;
    settings.diagnostics = devnull;
    // BENCH_RCVBUF=0 keeps the system's default receive buffer, to show what
    // the larger one buys.
    if (const char* rcvbuf = std::getenv("BENCH_RCVBUF")) settings.receiveBufferBytes = std::atoi(rcvbuf);
    CVorel vorel(settings);

    std::vector<double> cpu;
    int count = 0;
    int capacity = 0;
    int failed = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int tick = 0; tick < ticks; ++tick) {
        std::this_thread::sleep_until(start + std::chrono::seconds(tick));
        DiscoveredCamera* records = nullptr;
        const double before = ThreadCpuMs();
        const int r = vorel.Search(&records, &count, &capacity, tick == 0 ? 1 : 0);
        cpu.push_back(ThreadCpuMs() - before);
        failed += r < 0;
        if (std::getenv("BENCH_VERBOSE"))
            std::printf("  call %d: result %d count %d cpu %.2f ms\n", tick + 1, r, count, cpu.back());
    }
    // The quietest call is the cost of the waits themselves (60 wake-ups and
    // the address lookup); the busiest one carries the burst of replies.
    double max = 0, sum = 0, min = cpu.empty() ? 0 : cpu[0];
    for (double c : cpu) {
        max = c > max ? c : max;
        min = c < min ? c : min;
        sum += c;
    }
    std::printf("cameras %5d  found %5d  share %7.3f%%  search cpu ms: max %.2f  mean %.2f  quietest %.2f%s\n",
                expected, count, expected ? 100.0 * count / expected : 0.0, max,
                cpu.empty() ? 0 : sum / cpu.size(), min, failed ? "  (some calls failed)" : "");
    if (devnull) std::fclose(devnull);
    return 0;
}

// Times the address alias and the free-address search against arping doing
// the same probes from the same namespace. Run it inside a lab namespace
// (bench/hostnet_lab.sh builds one); it never picks a network by itself.
//
//   bench_hostnet --cam IP MASK --free START SOURCE MASK [--runs N] [--arping PATH]
//
// Prints, per probe, our time, arping's time and the ratio ours/arping.
#include <net/if.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/hostnet/AdapterInventory.h"
#include "core/hostnet/AddressProbe.h"
#include "core/hostnet/HostPartCounter.h"
#include "core/base/AddressText.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/hostnet/linux/LinuxHostNetwork.h"

using namespace orvanta;
using namespace orvanta::hostnet;
using Clock = std::chrono::steady_clock;

namespace {

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Runs arping with these arguments and returns its wall time in ms.
double TimeArping(const std::string& arping, std::vector<std::string> args) {
    args.insert(args.begin(), arping);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(stdout);  // or the child's exit writes our buffer a second time
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout)) _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return MsSince(start);
}

// Records which addresses a walk asks about and how long each took.
class TimedNetwork : public HostNetwork {
public:
    explicit TimedNetwork(HostNetwork& inner) : inner_(inner) {}
    struct Probe {
        uint32_t target;
        double ms;
        ArpStatus status;
    };
    std::vector<Probe> probes;

    AdapterList ListAdapters() override { return inner_.ListAdapters(); }
    AliasResult AddAlias(const AliasContext& a) override { return inner_.AddAlias(a); }
    AliasResult RemoveAlias(const AliasContext& a) override { return inner_.RemoveAlias(a); }
    DuplicateCheck CheckDuplicate(uint32_t i, uint32_t a, int w) override { return inner_.CheckDuplicate(i, a, w); }
    ArpReply SendArp(uint32_t target, uint32_t source) override {
        const auto start = Clock::now();
        ArpReply r = inner_.SendArp(target, source);
        probes.push_back({target, MsSince(start), r.status});
        return r;
    }
    DialUpAccount ReadDialUp() override { return inner_.ReadDialUp(); }
    void Sleep(int ms) override { inner_.Sleep(ms); }

private:
    HostNetwork& inner_;
};

void Ratio(const char* what, double ours, double theirs) {
    std::printf("%-34s ours %8.1f ms  arping %8.1f ms  ratio %.2f\n", what, ours, theirs, theirs > 0 ? ours / theirs : 0);
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t camIp = 0, camMask = 0, start = 0, source = 0, mask = 0;
    int runs = 3;
    std::string arping = "/usr/sbin/arping";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--cam" && i + 2 < argc) {
            ParseIpv4(argv[i + 1], camIp);
            ParseIpv4(argv[i + 2], camMask);
            i += 2;
        } else if (a == "--free" && i + 3 < argc) {
            ParseIpv4(argv[i + 1], start);
            ParseIpv4(argv[i + 2], source);
            ParseIpv4(argv[i + 3], mask);
            i += 3;
        } else if (a == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (a == "--arping" && i + 1 < argc) {
            arping = argv[++i];
        } else {
            std::fprintf(stderr, "usage: bench_hostnet --cam IP MASK --free START SOURCE MASK [--runs N] [--arping PATH]\n");
            return 2;
        }
    }
    if (!camIp || !start) {
        std::fprintf(stderr, "bench_hostnet: --cam and --free are needed\n");
        return 2;
    }
    auto net = MakeLinuxHostNetwork();
    CameraSettings s;
    FindActiveAdapter(s, *net);
    s.CamAddr = camIp;
    s.CamMask = camMask;
    char ifname[IF_NAMESIZE] = {};
    if (!if_indextoname(s.HostIfIndex, ifname)) {
        std::fprintf(stderr, "bench_hostnet: no active adapter\n");
        return 1;
    }
    const std::string top = FormatIpv4(TopHostAddress(camIp, camMask));

    // The alias: one candidate, three probe windows; arping sends the same
    // three duplicate-detection probes (sender 0.0.0.0) one second apart.
    std::vector<double> ours, theirs;
    for (int r = 0; r < runs; ++r) {
        AddedAddresses added("");
        const auto t0 = Clock::now();
        const bool ok = EnsureCameraSubnet(s, *net, added);
        ours.push_back(MsSince(t0));
        RemoveTemporaryAddresses(*net, added);
        if (!ok || added.Count() != 0) {
            std::fprintf(stderr, "bench_hostnet: the alias could not be added\n");
            return 1;
        }
        theirs.push_back(TimeArping(arping, {"-q", "-0", "-c", "3", "-i", ifname, top}));
    }
    std::printf("EnsureCameraSubnet, one candidate (%s), median of %d:\n", top.c_str(), runs);
    Ratio("  alias + duplicate check", Median(ours), Median(theirs));

    // The free-address search, probe by probe.
    std::array<uint8_t, 6> noCamera{0xff, 0xff, 0xff, 0xff, 0xff, 0xfe};
    std::vector<std::vector<double>> oursPer, theirsPer;
    std::vector<TimedNetwork::Probe> walk;
    std::vector<double> oursTotal, theirsTotal;
    uint32_t result = 0;
    for (int r = 0; r < runs; ++r) {
        TimedNetwork timed(*net);
        const auto t0 = Clock::now();
        result = FindFreeAddress(timed, start, source, mask, noCamera);
        oursTotal.push_back(MsSince(t0));
        walk = timed.probes;
        oursPer.resize(walk.size());
        theirsPer.resize(walk.size());
        double sum = 0;
        for (std::size_t i = 0; i < walk.size(); ++i) {
            oursPer[i].push_back(walk[i].ms);
            const double t = TimeArping(arping, {"-q", "-c", "1", "-C", "1", "-w", "1", "-i", ifname, "-S",
                                                 FormatIpv4(source), FormatIpv4(walk[i].target)});
            theirsPer[i].push_back(t);
            sum += t;
        }
        theirsTotal.push_back(sum);
    }
    std::printf("FindFreeAddress from %s, result %s, median of %d:\n", FormatIpv4(start).c_str(),
                FormatIpv4(result).c_str(), runs);
    for (std::size_t i = 0; i < walk.size(); ++i) {
        const std::string label = "  probe " + FormatIpv4(walk[i].target) +
                                  (walk[i].status == ArpStatus::Answered ? " (answers)" : " (free)");
        Ratio(label.c_str(), Median(oursPer[i]), Median(theirsPer[i]));
    }
    Ratio("  whole search", Median(oursTotal), Median(theirsTotal));
    return 0;
}

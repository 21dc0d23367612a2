// orvanta-camsim: a simulated camera for the tests and the demo. By default it
// runs the discovery side and the web side together; --listing-server makes it
// the camera-listing server instead.
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "CamsimOptions.h"
#include "CamsimSides.h"

namespace {
// Every option some side of the simulator reads.
const std::vector<std::string> kKnownOptions = {
    "help", "version", "listing-server", "no-discovery", "no-web",
    // discovery side
    "alt-magic", "bind", "burst", "burst-gap-us", "count", "desc", "drip-ms", "fourth", "iface", "interface", "ip",
    "mac", "mask", "misbehave", "port", "reply-delay-ms", "serial", "silent-after",
    // web side
    "ap", "ap-file", "config", "http-port", "misbehave-path", "no-content-length", "readdress-delay-ms", "request-log",
    "root-password", "root-user", "second-port", "wps-after",
    // listing server
    "listing", "listing-fail", "listing-file"};

std::atomic<bool> g_stop{false};
void OnSignal(int) { g_stop = true; }
}  // namespace

int main(int argc, char** argv) {
    using namespace orvanta::camsim;
    CamsimOptions options;
    std::string error;
    if (!options.Parse(argc, argv, error) || !options.OnlyKnown(kKnownOptions, error)) {
        std::fprintf(stderr, "orvanta-camsim: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (options.Has("help")) {
        std::printf("usage: orvanta-camsim [options]\n\nDiscovery side:\n%s\nWeb side:\n%s\nListing server (--listing-server):\n%s",
                    DiscoveryResponderUsage().c_str(), WebServerUsage().c_str(),
                    ListingServerUsage().c_str());
        return 0;
    }
    if (options.Has("version")) {
        std::printf("orvanta-camsim %s\n", ORVANTA_VERSION);
        return 0;
    }
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    if (options.Has("listing-server")) return RunListingServer(options, g_stop);

    int discoveryResult = 0;
    std::thread discovery;
    if (!options.Has("no-discovery"))
        discovery = std::thread([&] { discoveryResult = RunDiscoveryResponder(options, g_stop); });
    int webResult = 0;
    if (!options.Has("no-web")) webResult = RunWebServer(options, g_stop);
    else while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    g_stop = true;
    if (discovery.joinable()) discovery.join();
    return webResult != 0 ? webResult : discoveryResult;
}

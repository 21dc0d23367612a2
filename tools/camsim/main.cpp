// orvanta-camsim: a simulated camera for the tests and the demo. By default it
// runs the discovery side and the web side together; --listing-server makes it
// the camera-listing server instead.
#include <atomic>
#include <chrono>
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

// A side in its three steps; the first that fails gives the exit code.
template <typename Side>
int Run(Side& side, const orvanta::camsim::CamsimOptions& options) {
    if (const int rc = side.Parse(options)) return rc;
    if (const int rc = side.SetUp()) return rc;
    return side.Serve(g_stop);
}

// The camera: the discovery side on a thread of its own, the web side on
// this one. A bad option of either side ends the program before any starts.
int RunCamera(const orvanta::camsim::CamsimOptions& options) {
    using namespace orvanta::camsim;
    const bool discovery = !options.Has("no-discovery");
    const bool web = !options.Has("no-web");
    DiscoveryResponder responder;
    WebServer server;
    if (discovery)
        if (const int rc = responder.Parse(options)) return rc;
    if (web)
        if (const int rc = server.Parse(options)) return rc;
    if (discovery)
        if (const int rc = responder.SetUp()) return rc;
    if (web)
        if (const int rc = server.SetUp()) return rc;

    int discoveryResult = 0;
    std::thread discoveryThread;
    if (discovery) discoveryThread = std::thread([&] { discoveryResult = responder.Serve(g_stop); });
    int webResult = 0;
    if (web) webResult = server.Serve(g_stop);
    else while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    g_stop = true;
    if (discoveryThread.joinable()) discoveryThread.join();
    return webResult != 0 ? webResult : discoveryResult;
}
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

    if (options.Has("listing-server")) {
        ListingServer listing;
        return Run(listing, options);
    }
    return RunCamera(options);
}

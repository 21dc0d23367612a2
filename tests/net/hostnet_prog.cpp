// Drives the host-network code from inside a lab namespace:
//   hostnet_prog inventory                  the start-up adapter reading
//   hostnet_prog ensure CAMIP CAMMASK [--hold]
//        stale aliases removed, EnsureCameraSubnet, prints "alias A" or
//        "alias none"; with --hold waits for SIGINT/SIGTERM/SIGHUP and then
//        removes its aliases as the wizard does on close.
//   hostnet_prog stale                      RemoveStaleAliases, prints count
// Environment: XDG_RUNTIME_DIR for the state file, ORVANTA_NETADMIN, and
// OVH_RESOLV / OVH_LEASES for the inventory's files.
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/hostnet/AdapterInventory.h"
#include "core/hostnet/ExitSignals.h"
#include "core/base/AddressText.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/hostnet/linux/LinuxHostNetwork.h"
#include "core/base/Diagnostics.h"
#include "core/settings/FixedField.h"

using namespace orvanta;
using namespace orvanta::hostnet;

namespace {

LinuxPaths Paths() {
    LinuxPaths p;
    if (const char* r = std::getenv("OVH_RESOLV")) p.resolvConf = r;
    if (const char* l = std::getenv("OVH_LEASES")) {
        p.networkdLeaseDir = l;
        p.nmDevicesDir = p.nmLeaseDir = std::string(l) + "/none";
        p.dhclientLeaseDirs = {};
    }
    return p;
}

void Inventory(CameraSettings& s, HostNetwork& net) {
    FindActiveAdapter(s, net);
    ReadAdapterAddresses(s, net);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    // The lab checks the diagnostic lines, as the wizard prints them with --verbose.
    SetDiagnosticSink(StreamDiagnosticSink(stderr));
    const std::string cmd = argv[1];
    auto net = MakeLinuxHostNetwork(Paths());
    CameraSettings s;
    if (cmd == "inventory") {
        Inventory(s, *net);
        std::printf("HostIfIndex=%u HostAdapterFound=%d HostWireless=%d HostDialUp=%d\n", s.HostIfIndex,
                    s.HostAdapterFound, s.HostWireless, s.HostDialUp);
        std::printf("HostIP=%s HostMask=%s HostGateway=%s HostDNS=%s HostDHCP=%d HostNoAddress=%d\n",
                    s.HostIP, s.HostMask, s.HostGateway, s.HostDNS, s.HostDHCP, s.HostNoAddress);
        return 0;
    }
    if (cmd == "stale") {
        std::printf("removed %d\n", RemoveStaleAliases(*net));
        return 0;
    }
    if (cmd == "ensure" && argc >= 4) {
        const bool hold = argc >= 5 && std::strcmp(argv[4], "--hold") == 0;
        if (!ParseIpv4(argv[2], s.CamAddr) || !ParseIpv4(argv[3], s.CamMask)) return 2;
        InstallExitSignals();
        RemoveStaleAliases(*net);
        Inventory(s, *net);
        AddedAddresses added;
        EnsureCameraSubnet(s, *net, added);
        if (added.Count() == 0) std::printf("alias none\n");
        for (const auto& a : added.Contexts()) std::printf("alias %s\n", FormatIpv4(a.address).c_str());
        std::fflush(stdout);
        if (hold) {
            pollfd p{ExitSignalFd(), POLLIN, 0};
            while (!ExitSignalReceived()) poll(&p, 1, -1);
        }
        RemoveTemporaryAddresses(*net, added);
        std::printf("removed\n");
        return 0;
    }
    return 2;
}

#include "core/hostnet/ReachableAddress.h"

#include <arpa/inet.h>

#include "core/http/HttpTransport.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/hostnet/NetworksInUse.h"
#include "core/hostnet/linux/NetlinkInventory.h"
#include "core/hostnet/linux/NetlinkSocket.h"
#include "core/base/Diagnostics.h"
#include "core/settings/CameraSettings.h"
#include "core/base/AddressText.h"

namespace orvanta::hostnet {

namespace {

// A route of its own (not the default route) leads to `address` (network
// order) through a router: a site's camera network the PC is meant to
// reach that way. A temporary address there would pull the camera's subnet
// onto a link it is not on, and ARP for a camera that cannot answer.
bool BehindKnownRouter(uint32_t address) {
    NetlinkSocket netlink;
    RouteLookup route;
    return netlink.Open() == 0 && LookupIpv4Route(netlink, address, route) == 0 &&
           route.result == RouteLookup::Result::Route && route.viaGateway && route.prefix > 0;
}

}  // namespace

bool EnsureAddressReachable(HostNetwork& net, AddedAddresses& added, const std::string& address, int prefix,
                            const std::string& port, const std::string& card, const AliasTiming& timing) {
    uint32_t camAddr = 0;
    if (!ParseIpv4(address, camAddr)) return true;  // a host name: the resolver's routes decide
    // The PC itself: no address to add.
    if ((ntohl(camAddr) >> 24) == 127) return true;
    const AdapterList list = net.ListAdapters();
    for (const auto& adapter : list.adapters)
        for (const auto& a : adapter.addresses) {
            if (!adapter.up || a.mask == 0 || (a.address & a.mask) != (camAddr & a.mask)) continue;
            // In the subnet of a temporary address of ours, which may route
            // only the cameras it was asked for: this one is asked for too.
            for (const auto& ours : added.Contexts())
                if (ours.ifIndex == adapter.index && ours.address == a.address) {
                    CameraSettings s;
                    s.CamAddr = camAddr;
                    s.CamMask = a.mask;
                    s.HostIfIndex = adapter.index;
                    return EnsureCameraSubnet(s, net, added, timing);
                }
            return true;
        }
    if (BehindKnownRouter(camAddr)) {
        Diagnostic("%s is reached through the PC's route to it: no temporary address", address.c_str());
        return true;
    }
    // Outside every subnet of the PC, but perhaps behind a router.
    TransportSettings quick;
    quick.connectWaitMs = 1000;
    quick.connectAttempts = 1;
    int fd = -1;
    // Its own second, whoever asks: the reach check is no part of a call.
    if (ConnectPlain(quick, Deadline::After(quick.connectWaitMs), address.c_str(), port.c_str(), fd) == 0) {
        CloseSocket(fd);
        return true;
    }
    const bool linkLocal = (ntohl(camAddr) >> 16) == 0xa9fe;
    if (prefix <= 0 || prefix > 30) prefix = linkLocal ? 16 : 24;
    CameraSettings s;
    s.CamAddr = camAddr;
    s.CamMask = PrefixMask(prefix);
    if (!card.empty()) {
        for (const auto& adapter : list.adapters)
            if (adapter.name == card) s.HostIfIndex = adapter.index;
    }
    if (s.HostIfIndex == 0) FindActiveAdapter(s, net);
    if (s.HostIfIndex == 0) {
        Diagnostic("no card to give an address beside %s", address.c_str());
        return false;
    }
    Diagnostic("%s lies outside the PC's subnets: adding a temporary address in %s/%d", address.c_str(),
               address.c_str(), prefix);
    return EnsureCameraSubnet(s, net, added, timing);
}

}  // namespace orvanta::hostnet

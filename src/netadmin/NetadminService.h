// The privileged helper's work: one validated request in, one answer line
// out, for the single interface named when the helper started.
//
// What keeps it from being turned against the network, whoever runs it:
// it serves only an Ethernet-like card that is up (never loopback); it adds
// only the private addresses the request rules allow, never inside a network
// of another card (TemporaryAddressConflict), at most kMaxHeldAliases at
// once over all helpers (counted and added under the one HelperLock), and
// only after its own ARP probe found nobody holding the address; an address
// comes without the kernel's prefix route, and its own route never displaces
// one the PC has, as the kernel's own lookup sees them, nor covers what a
// connected route of the card reaches (TemporaryAddressRoute); an address
// the kernel would not mark as ours (before Linux 5.18) is taken off again
// at once (AliasMark); ARP requests speak only from the card's own
// addresses; every ARP frame any helper sends is spaced by the shared lock;
// an address is removed only by the user who had it added (or root), or by
// anyone once the helper that added it is gone; and the aliases it added are
// removed again when its caller goes away or it is told to end
// (RemoveOwnAliases).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/hostnet/NetadminRequest.h"
#include "core/hostnet/linux/ArpSocket.h"
#include "core/hostnet/linux/NetlinkInventory.h"
#include "core/hostnet/linux/NetlinkSocket.h"
#include "netadmin/HelperLock.h"

namespace orvanta::netadmin {

// Aliases carrying the helper's mark that may be on the PC at one time,
// counted over every interface and every running helper.
constexpr int kMaxHeldAliases = 4;
// How long the probe before an add listens for an owner of the address.
constexpr int kAddProbeWaitMs = 600;
// ARP pacing over all helpers together: one frame per kArpSpacingMs.
constexpr int kArpSpacingMs = 100;
// How long a request waits for the shared lock before it gives up: an add
// longer (others' adds each hold it through their probe), ARP shorter (the
// client waits the request's own wait and five seconds).
constexpr int kAddLockWaitMs = 8000;
constexpr int kArpLockWaitMs = 4000;
// The metric of the route through an added address: well above what
// network managers give the routes the PC relies on.
constexpr uint32_t kAliasRouteMetric = 20000;
// Cameras one address may be routed to, one host route each, when its
// subnet could not be routed whole.
constexpr int kMaxCameraRoutes = 64;

class NetadminService {
public:
    explicit NetadminService(std::string ifname);

    // The answer line (without newline) for one request line.
    std::string Handle(std::string_view line);

    // The caller closed its end, or the helper was told to end: every alias
    // this process added and that is still on the card goes, with its
    // route. Returns how many were removed.
    int RemoveOwnAliases();

    // Readable when another helper knocked on this one's mark to see it
    // alive; DrainProbes answers the knocks.
    int MarkFd() const { return shared_.MarkFd(); }
    void DrainProbes() const { shared_.DrainProbes(); }

private:
    std::string Add(const hostnet::NetadminRequest& req);
    std::string Del(const hostnet::NetadminRequest& req);
    std::string Probe(const hostnet::NetadminRequest& req);
    // Reads the address just added back: empty when it carries our mark,
    // else it is removed again and the answer says which kernel is needed.
    std::string CheckMark(const hostnet::NetadminRequest& req);
    // A route through our address `source` (see TemporaryAddressRoute).
    int AddRoute(uint32_t source, uint32_t destination, int prefix, std::string* extack);
    // An add of an address this helper already holds, naming a camera:
    // routes that camera through it where nothing reaches it yet.
    std::string RouteCamera(const hostnet::NetadminRequest& req, const std::vector<hostnet::RouteRecord>& routes);
    std::string Arp(const hostnet::NetadminRequest& req);
    // Empty when the ARP socket is ready, else the error answer.
    std::string OpenArp();
    // Looks the interface up afresh (index, MAC) and checks it is one the
    // helper may serve: empty when it is, else the error answer. Removal
    // works on a card that went down, so the aliases can still go.
    std::string Resolve(bool mustBeUp);
    // Waits until the shared rate limit allows one more ARP frame: empty,
    // else the error answer.
    std::string PaceArp();
    // Removes the address and the routes added with it.
    int Delete(uint32_t index, uint32_t address, int prefix, std::string* extack);
    // Removes marked addresses whose helper is gone (it was killed).
    void RemoveStale(const std::vector<hostnet::AddressRecord>& addresses);
    std::string Dump(std::vector<hostnet::AddressRecord>& addresses, std::vector<hostnet::RouteRecord>* routes,
                     std::vector<hostnet::LinkRecord>* links);
    void Log(const char* what, uint32_t address, int prefix);

    struct Held {
        uint32_t address;
        int prefix;
    };

    std::string ifname_;
    uint32_t ifIndex_ = 0;
    std::array<uint8_t, 6> mac_{};
    bool hasNetAdmin_ = false;
    bool hasNetRaw_ = false;
    hostnet::NetlinkSocket netlink_;
    hostnet::ArpSocket arp_;
    bool arpOpen_ = false;
    std::vector<Held> held_;  // added by this process and not removed yet
    HelperLock shared_;
};

}  // namespace orvanta::netadmin

// The kernel's view of links and IPv4 addresses, read by rtnetlink dumps
// (no privileges needed), and the address changes the helper makes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/hostnet/NetworksInUse.h"
#include "core/hostnet/linux/NetlinkSocket.h"

namespace orvanta::hostnet {

struct LinkRecord {
    uint32_t index = 0;
    std::string name;
    uint16_t arpType = 0;  // ARPHRD_*
    uint32_t flags = 0;    // IFF_*
    uint8_t operState = 0; // IF_OPER_*
    std::array<uint8_t, 6> mac{};
    std::string kind;     // IFLA_INFO_KIND ("bridge", "veth", "tun", ...); empty for hardware
    uint32_t master = 0;  // index of the bridge or bond it is a port of, 0 if none
};

struct AddressRecord {
    uint32_t index = 0;
    uint32_t address = 0;  // network byte order
    int prefix = 0;
    uint32_t flags = 0;    // IFA_F_*
    uint8_t protocol = 0;  // IFA_PROTO, 0 when unset
    uint32_t priority = 0; // IFA_RT_PRIORITY, 0 when unset
};

struct RouteRecord {
    uint32_t destination = 0;  // network byte order
    int prefix = 0;
    uint32_t table = 0;        // RT_TABLE_*
    uint8_t type = 0;          // RTN_*
    uint8_t protocol = 0;      // RTPROT_* or our mark
    uint32_t oif = 0;          // 0 for routes with no single outgoing card
    uint32_t source = 0;       // RTA_PREFSRC
    uint32_t metric = 0;
    uint32_t gateway = 0;      // RTA_GATEWAY, network byte order; 0 for an on-link route
};

// The protocol mark the helper puts on every alias it adds, so it (or a
// later run of it) can tell its own aliases from the PC's real addresses.
constexpr uint8_t kAliasProtocol = 0x4f;

// A route that reaches a network through a card: unicast, not a default
// route, not the kernel's local table (the PC's own addresses).
bool IsNetworkRoute(const RouteRecord& route);

int DumpLinks(NetlinkSocket& nl, std::vector<LinkRecord>& links);
int DumpIpv4Addresses(NetlinkSocket& nl, std::vector<AddressRecord>& addresses);
int DumpIpv4Routes(NetlinkSocket& nl, std::vector<RouteRecord>& routes);
// Both dumps over one fresh socket: the links, then (if they came) the
// IPv4 addresses. 0 or -errno of the first that failed.
int DumpLinksAndAddresses(std::vector<LinkRecord>& links, std::vector<AddressRecord>& addresses);

// The route the kernel itself would choose for a packet from this PC to
// `destination` (policy rules and every table included), as the matched
// route with its own prefix (RTM_F_FIB_MATCH). "No route" and an
// unreachable, prohibit or blackhole route are answers, not failures:
// 0 with `out` filled, or -errno when the lookup itself failed.
int LookupIpv4Route(NetlinkSocket& nl, uint32_t destination, RouteLookup& out);

// 0 or -errno; *text gets the kernel's extended-ack text. The address
// carries our mark and `priority` (IFA_RT_PRIORITY), and comes without the
// kernel's prefix route (IFA_F_NOPREFIXROUTE): AddIpv4Route makes the route
// it gets.
int AddIpv4Address(NetlinkSocket& nl, uint32_t index, uint32_t address, int prefix, uint32_t priority,
                   std::string* text);
int DeleteIpv4Address(NetlinkSocket& nl, uint32_t index, uint32_t address, int prefix, std::string* text);

// A link-scope route in the main table with our mark, leaving through
// `index` from `source`. 0 or -errno.
int AddIpv4Route(NetlinkSocket& nl, const RouteRecord& route, std::string* text);
int DeleteIpv4Route(NetlinkSocket& nl, const RouteRecord& route);

}  // namespace orvanta::hostnet

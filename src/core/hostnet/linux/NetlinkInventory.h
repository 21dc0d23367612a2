// The kernel's view of links and IPv4 addresses, read by rtnetlink dumps
// (no privileges needed), and the address changes the helper makes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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
};

// The protocol mark the helper puts on every alias it adds, so it (or a
// later run of it) can tell its own aliases from the PC's real addresses.
constexpr uint8_t kAliasProtocol = 0x4f;

int DumpLinks(NetlinkSocket& nl, std::vector<LinkRecord>& links);
int DumpIpv4Addresses(NetlinkSocket& nl, std::vector<AddressRecord>& addresses);
// Both dumps over one fresh socket: the links, then (if they came) the
// IPv4 addresses. 0 or -errno of the first that failed.
int DumpLinksAndAddresses(std::vector<LinkRecord>& links, std::vector<AddressRecord>& addresses);

// 0 or -errno; *text gets the kernel's extended-ack text.
int AddIpv4Address(NetlinkSocket& nl, uint32_t index, uint32_t address, int prefix, std::string* text);
int DeleteIpv4Address(NetlinkSocket& nl, uint32_t index, uint32_t address, int prefix, std::string* text);

}  // namespace orvanta::hostnet

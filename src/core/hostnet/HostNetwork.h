// The seam between the wizard's host-network logic and the operating system:
// what the PC's adapters look like, adding and removing a temporary address
// alias, the duplicate-address check, a single ARP request and the dial-up
// account. The logic (AdapterInventory, TemporaryAddress, AddressProbe,
// DialUpCredentials) is written only against this class, so unit tests drive
// it with a scripted fake and the lab tests with the Linux body.
//
// Every IPv4 value here is a 32-bit number in network byte order, as the
// record's CamAddr/CamMask are.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvanta::hostnet {

enum class AdapterType { Other, Ethernet, Ppp, Wireless };

struct AdapterAddress {
    uint32_t address = 0;
    uint32_t mask = 0;
};

struct Adapter {
    uint32_t index = 0;  // kernel interface index
    std::string name;
    AdapterType type = AdapterType::Other;
    bool up = false;
    std::vector<AdapterAddress> addresses;  // IPv4 only, in kernel order
    std::vector<uint32_t> gateways;         // default-route gateways through it
    // Destinations of the other routes that leave through it (the default
    // route and the kernel's local table left out).
    std::vector<AdapterAddress> routes;
    // A default route leaves through it (with or without a gateway: a VPN
    // or PPP link often has none).
    bool defaultRoute = false;
    // Bridges, bridge ports, tun/tap, WireGuard, dummies and the like: links
    // a person would never call this PC's network card.
    bool virtualLink = false;
    bool dhcpEnabled = false;
    uint32_t dhcpServer = 0;  // 0 when DHCP is off or the server is unknown
    // It holds an address with a lease time: some DHCP client gave it, even
    // when no lease file names the server.
    bool leased = false;
    std::vector<uint32_t> dnsServers;
};

struct AdapterList {
    bool ok = false;
    // The system has no adapters to report at all (silent, not an error).
    bool noData = false;
    std::string error;  // why the listing failed, when !ok
    std::vector<Adapter> adapters;
};

// Which (interface, address, prefix) an alias is; it is also the handle used
// to remove it again.
struct AliasContext {
    uint32_t ifIndex = 0;
    uint32_t address = 0;
    uint32_t mask = 0;
    // The camera the alias is for (0: none named). Where the subnet is
    // already routed, only the camera is routed through the alias. It is
    // not part of which alias this is.
    uint32_t camera = 0;
    bool operator==(const AliasContext& o) const {
        return ifIndex == o.ifIndex && address == o.address && mask == o.mask;
    }
};

enum class AliasStatus {
    Ok,
    Duplicate,          // another device claims the address
    PermissionDenied,   // the helper lacks CAP_NET_ADMIN / CAP_NET_RAW
    HelperMissing,      // the privileged helper cannot be started
    NoSuchInterface,
    Exists,             // the address is already on the interface
    NotFound,           // removal of an address that is not there
    Refused,            // the helper refused the request (not ours, malformed)
    Other,
};

struct AliasResult {
    AliasStatus status = AliasStatus::Other;
    std::string text;  // the kernel's or helper's own words, for diagnostics
    bool ok() const { return status == AliasStatus::Ok; }
};

// Failures that no other candidate address can mend: an address walk stops
// at once on them instead of trying the rest of the subnet.
inline bool IsHopeless(AliasStatus s) {
    return s == AliasStatus::PermissionDenied || s == AliasStatus::HelperMissing ||
           s == AliasStatus::NoSuchInterface || s == AliasStatus::Refused;
}

struct DuplicateCheck {
    // Ok: nobody else claims it; Duplicate: someone answered; anything else:
    // the check itself failed (same meaning as for AliasResult).
    AliasStatus status = AliasStatus::Other;
    std::string text;
};

enum class ArpStatus {
    Answered,  // a device owns the address; mac holds its hardware address
    NoAnswer,  // "no device answered" within the bounded wait
    Failed,    // the request could not be sent (see failure/text)
};

struct ArpReply {
    ArpStatus status = ArpStatus::Failed;
    std::array<uint8_t, 6> mac{};
    AliasStatus failure = AliasStatus::Other;  // kind of failure when Failed
    std::string text;
};

struct DialUpAccount {
    bool found = false;          // a dial-up entry exists
    std::string user;            // uncut; the caller fits it into the record
    bool passwordKnown = false;  // the secrets could be read and had an entry
    std::string password;
};

class HostNetwork {
public:
    virtual ~HostNetwork() = default;

    // Every adapter with its IPv4 addresses, gateways, DHCP state and DNS.
    virtual AdapterList ListAdapters() = 0;

    virtual AliasResult AddAlias(const AliasContext& alias) = 0;
    virtual AliasResult RemoveAlias(const AliasContext& alias) = 0;

    // Watches for up to windowMs whether another device on interface ifIndex
    // claims `address` (duplicate-address detection). It is the settling wait
    // after an alias was added, so it always takes the whole window unless a
    // duplicate shows up.
    virtual DuplicateCheck CheckDuplicate(uint32_t ifIndex, uint32_t address, int windowMs) = 0;

    // One ARP request for `target`, sent from the interface that holds
    // `source`, with a bounded wait. The PC's own address answers with the
    // PC's own MAC.
    virtual ArpReply SendArp(uint32_t target, uint32_t source) = 0;

    // The first dial-up account of the PC.
    virtual DialUpAccount ReadDialUp() = 0;

    // The fixed waits of the address walk go through here so a fake can
    // record them instead of sleeping.
    virtual void Sleep(int ms) = 0;
};

// The real thing: rtnetlink/sysfs for the inventory, the privileged helper
// orvanta-netadmin for aliases and ARP, pppd's files for the dial-up account.
std::unique_ptr<HostNetwork> MakeLinuxHostNetwork();

}  // namespace orvanta::hostnet

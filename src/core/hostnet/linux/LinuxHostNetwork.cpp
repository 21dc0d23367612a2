#include "core/hostnet/linux/LinuxHostNetwork.h"

// net/if.h before the kernel's headers, which step aside for it.
#include <net/if.h>
#include <net/if_arp.h>
#include <linux/if.h>
#include <linux/if_addr.h>
#include <sys/stat.h>
#include <time.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/base/AddressText.h"
#include "core/hostnet/NetadminRequest.h"
#include "core/hostnet/linux/DhcpLeases.h"
#include "core/hostnet/linux/NetlinkInventory.h"
#include "core/hostnet/linux/SystemFiles.h"
#include "core/base/Diagnostics.h"

namespace orvanta::hostnet {

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

AdapterType TypeOf(const LinuxPaths& paths, const LinkRecord& link) {
    if (link.arpType == ARPHRD_PPP) return AdapterType::Ppp;
    if (link.arpType != ARPHRD_ETHER) return AdapterType::Other;
    const std::string dir = paths.sysClassNet + "/" + link.name;
    if (Exists(dir + "/wireless") || Exists(dir + "/phy80211")) return AdapterType::Wireless;
    return AdapterType::Ethernet;
}

// Up means carrying traffic: operstate "up", or "unknown" on an interface
// that is administratively up and running (PPP and some virtual links never
// report more than unknown).
bool IsUp(const LinkRecord& link) {
    if (link.operState == IF_OPER_UP) return true;
    return link.operState == IF_OPER_UNKNOWN && (link.flags & IFF_UP) && (link.flags & IFF_RUNNING);
}

// Links a person would not name as this PC's network card. Hardware has no
// kind; VLANs and bonds are made of hardware. A veth that is not a bridge
// port is a namespace's or container's own link to the world, so inside one
// it is the card; the host side of a container's veth is always a bridge
// port. A bridge counts only when a hardware card is one of its ports (a PC
// bridged for virtual machines keeps its address there); docker0 and virbr0
// hold only veths and taps.
bool IsVirtual(const LinkRecord& link, const std::vector<LinkRecord>& links) {
    if (link.master != 0) return true;
    if (link.kind.empty() || link.kind == "vlan" || link.kind == "bond" || link.kind == "team" ||
        link.kind == "veth")
        return false;
    if (link.kind == "bridge") {
        for (const auto& port : links)
            if (port.master == link.index && port.kind.empty()) return false;
    }
    return true;
}

// An answer that is not the one hoped for, as a typed failure: the helper's
// own error, or a line that fits no request of ours.
AliasResult Failure(const NetadminReply& answer) {
    if (answer.kind == NetadminReplyKind::Error) return {answer.failure, answer.text};
    return {AliasStatus::Other, "unexpected answer from orvanta-netadmin"};
}

std::string Cidr(const AliasContext& alias) {
    return FormatIpv4(alias.address) + "/" + std::to_string(MaskPrefix(alias.mask));
}

}  // namespace

LinuxHostNetwork::LinuxHostNetwork(LinuxPaths paths) : paths_(std::move(paths)) {
    if (paths_.helper.empty()) paths_.helper = NetadminClient::DefaultHelperPath();
}

AdapterList LinuxHostNetwork::ListAdapters() {
    AdapterList list;
    std::vector<LinkRecord> links;
    std::vector<AddressRecord> addresses;
    if (const int e = DumpLinksAndAddresses(links, addresses); e != 0) {
        list.error = std::strerror(-e);
        return list;
    }
    // Without the routes the listing still serves; the helper judges an
    // alias against them itself.
    std::vector<RouteRecord> routes;
    NetlinkSocket nl;
    DumpIpv4Routes(nl, routes);
    const auto gateways = ReadDefaultGateways(paths_.procNetRoute);
    const auto defaultRoutes = ReadDefaultRouteInterfaces(paths_.procNetRoute);
    const auto dns = ReadNameServers(paths_);
    for (const auto& link : links) {
        Adapter a;
        a.index = link.index;
        a.name = link.name;
        a.type = TypeOf(paths_, link);
        a.up = IsUp(link);
        a.virtualLink = IsVirtual(link, links);
        a.defaultRoute = defaultRoutes.count(link.name) > 0;
        bool dynamic = false;
        for (const auto& rec : addresses) {
            if (rec.index != link.index) continue;
            a.addresses.push_back({rec.address, PrefixMask(rec.prefix)});
            // The kernel marks addresses with a lease time as not permanent:
            // that is what a DHCP client puts on, whichever client it is.
            if (!(rec.flags & IFA_F_PERMANENT)) dynamic = true;
        }
        for (const auto& r : routes)
            if (r.oif == link.index && IsNetworkRoute(r)) a.routes.push_back({r.destination, PrefixMask(r.prefix)});
        const auto [from, to] = gateways.equal_range(link.name);
        for (auto it = from; it != to; ++it) a.gateways.push_back(it->second);
        if (a.type != AdapterType::Other) {
            const DhcpLease lease = FindDhcpLease(paths_, link.index, link.name);
            bool leaseMatches = false;
            for (const auto& addr : a.addresses)
                if (lease.found && (lease.address == 0 || lease.address == addr.address)) leaseMatches = true;
            // A lease file alone may be left over from an earlier
            // configuration; it counts when the address agrees with it.
            a.dhcpEnabled = dynamic || leaseMatches;
            a.leased = dynamic;
            if (a.dhcpEnabled && leaseMatches) a.dhcpServer = lease.server;
            a.dnsServers = dns;
        }
        list.adapters.push_back(std::move(a));
    }
    list.ok = true;
    list.noData = list.adapters.empty();
    if (list.noData) list.ok = false;
    return list;
}

NetadminReply LinuxHostNetwork::CallHelper(const std::string& ifname, const std::string& request, int timeoutMs) {
    std::lock_guard<std::mutex> lock(helpersMutex_);
    auto& slot = helpers_[ifname];
    if (!slot) slot = std::make_unique<NetadminClient>(paths_.helper, ifname);
    return slot->Call(request, timeoutMs);
}

void LinuxHostNetwork::Diagnose(const std::string& what, AliasStatus status, const std::string& text) {
    if (status == AliasStatus::PermissionDenied) {
        // The text names the missing capability (it starts with it).
        Diagnostic("orvanta: %s: orvanta-netadmin: %s (grant it with setcap-netadmin.sh)", what.c_str(), text.c_str());
    } else if (status == AliasStatus::HelperMissing) {
        Diagnostic("orvanta: %s: %s (the helper that holds CAP_NET_ADMIN and CAP_NET_RAW)", what.c_str(), text.c_str());
    } else if (IsHopeless(status)) {
        Diagnostic("orvanta: %s: %s", what.c_str(), text.c_str());
    }
}

AliasResult LinuxHostNetwork::AliasCall(NetadminVerb verb, const AliasContext& alias) {
    char name[IF_NAMESIZE] = {};
    const std::string what = std::string(verb == NetadminVerb::Add ? "add " : "del ") + Cidr(alias);
    if (!if_indextoname(alias.ifIndex, name)) {
        AliasResult r{AliasStatus::NoSuchInterface, "no interface with index " + std::to_string(alias.ifIndex)};
        Diagnose(what, r.status, r.text);
        return r;
    }
    // The helper would refuse it anyway; saying so here spares starting it.
    if (verb == NetadminVerb::Add) {
        if (const std::string refusal = AliasRefusal(alias.address, MaskPrefix(alias.mask)); !refusal.empty()) {
            Diagnose(what + " on " + name, AliasStatus::Refused, refusal);
            return {AliasStatus::Refused, refusal};
        }
    }
    NetadminRequest req;
    req.verb = verb;
    req.ifname = name;
    req.address = alias.address;
    req.prefix = MaskPrefix(alias.mask);
    if (verb == NetadminVerb::Add && CameraFitsAlias(req.address, req.prefix, alias.camera)) req.camera = alias.camera;
    const NetadminReply answer = CallHelper(name, FormatNetadminRequest(req), 10000);
    if (answer.kind == NetadminReplyKind::Ok) return {AliasStatus::Ok, {}};
    const AliasResult failed = Failure(answer);
    Diagnose(what + " on " + name, failed.status, failed.text);
    return failed;
}

AliasResult LinuxHostNetwork::AddAlias(const AliasContext& alias) { return AliasCall(NetadminVerb::Add, alias); }

AliasResult LinuxHostNetwork::RemoveAlias(const AliasContext& alias) { return AliasCall(NetadminVerb::Del, alias); }

DuplicateCheck LinuxHostNetwork::CheckDuplicate(uint32_t ifIndex, uint32_t address, int windowMs) {
    char name[IF_NAMESIZE] = {};
    if (!if_indextoname(ifIndex, name)) return {AliasStatus::NoSuchInterface, "no such interface"};
    NetadminRequest req;
    req.verb = NetadminVerb::Probe;
    req.ifname = name;
    req.address = address;
    req.waitMs = std::min(std::max(windowMs, 1), kNetadminMaxWaitMs);
    const NetadminReply answer = CallHelper(name, FormatNetadminRequest(req), req.waitMs + 5000);
    if (answer.kind == NetadminReplyKind::Free) return {AliasStatus::Ok, {}};
    if (answer.kind == NetadminReplyKind::InUse) return {AliasStatus::Duplicate, "in use by " + FormatMac(answer.mac)};
    const AliasResult failed = Failure(answer);
    Diagnose("duplicate check of " + FormatIpv4(address) + " on " + name, failed.status, failed.text);
    return {failed.status, failed.text};
}

ArpReply LinuxHostNetwork::SendArp(uint32_t target, uint32_t source) {
    ArpReply reply;
    std::vector<LinkRecord> links;
    std::vector<AddressRecord> addresses;
    if (const int e = DumpLinksAndAddresses(links, addresses); e != 0) {
        reply.text = std::strerror(-e);
        return reply;
    }
    auto macOf = [&](uint32_t index) {
        for (const auto& l : links)
            if (l.index == index) return l.mac;
        return std::array<uint8_t, 6>{};
    };
    // The PC's own address answers with its own MAC, as a request on the
    // wire would never show (the kernel does not answer itself).
    for (const auto& a : addresses)
        if (a.address == target) {
            reply.status = ArpStatus::Answered;
            reply.mac = macOf(a.index);
            return reply;
        }
    uint32_t index = 0;
    for (const auto& a : addresses)
        if (a.address == source) index = a.index;
    char name[IF_NAMESIZE] = {};
    if (index == 0 || !if_indextoname(index, name)) {
        reply.failure = AliasStatus::NoSuchInterface;
        reply.text = "no interface holds " + FormatIpv4(source);
        return reply;
    }
    NetadminRequest req;
    req.verb = NetadminVerb::Arp;
    req.ifname = name;
    req.address = target;
    req.source = source;
    req.waitMs = kArpWaitMs;
    const NetadminReply answer = CallHelper(name, FormatNetadminRequest(req), kArpWaitMs + 5000);
    if (answer.kind == NetadminReplyKind::NoAnswer) {
        reply.status = ArpStatus::NoAnswer;
        reply.text = "no device answered";
        return reply;
    }
    if (answer.kind == NetadminReplyKind::Mac) {
        reply.status = ArpStatus::Answered;
        reply.mac = answer.mac;
        return reply;
    }
    const AliasResult failed = Failure(answer);
    reply.failure = failed.status;
    reply.text = failed.text;
    if (answer.kind == NetadminReplyKind::Error)
        Diagnose("ARP request for " + FormatIpv4(target) + " on " + name, failed.status, failed.text);
    return reply;
}

DialUpAccount LinuxHostNetwork::ReadDialUp() { return ReadFirstPppAccount(paths_.ppp); }

void LinuxHostNetwork::Sleep(int ms) {
    timespec ts{ms / 1000, long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

std::unique_ptr<HostNetwork> MakeLinuxHostNetwork(LinuxPaths paths) {
    return std::make_unique<LinuxHostNetwork>(std::move(paths));
}

std::unique_ptr<HostNetwork> MakeLinuxHostNetwork() { return MakeLinuxHostNetwork(LinuxPaths{}); }

}  // namespace orvanta::hostnet

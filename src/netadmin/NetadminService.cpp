#include "netadmin/NetadminService.h"

// net/if.h before the kernel's headers, which step aside for it.
#include <net/if.h>
#include <net/if_arp.h>
#include <linux/capability.h>
#include <linux/if.h>
#include <sys/syscall.h>
#include <syslog.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "core/hostnet/NetworksInUse.h"
#include "core/hostnet/linux/AliasMark.h"
#include "core/hostnet/linux/NetlinkInventory.h"
#include "core/base/AddressText.h"

namespace orvanta::netadmin {

namespace {

using hostnet::NetadminReply;
using hostnet::NetadminReplyKind;
using hostnet::NetadminRequest;
using hostnet::NetadminVerb;

// The effective capability set, asked of the kernel directly so the helper
// needs no library for it.
void EffectiveCaps(bool& netAdmin, bool& netRaw) {
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0) return;
    netAdmin = data[0].effective & (1u << CAP_NET_ADMIN);
    netRaw = data[0].effective & (1u << CAP_NET_RAW);
}

using hostnet::AliasStatus;
using hostnet::FormatNetadminReply;
using hostnet::NetadminError;

std::string Missing(const char* cap) {
    return NetadminError(AliasStatus::PermissionDenied, std::string(cap) + " missing: Operation not permitted");
}

// The kernel's answer to an address change as an answer line. The
// extended-ack text, when there is one, says more than strerror.
std::string FromErrno(int error, const std::string& extack, const char* cap) {
    const std::string text = std::strerror(-error) + (extack.empty() ? std::string() : ": " + extack);
    switch (-error) {
        case EPERM:
        case EACCES: return NetadminError(AliasStatus::PermissionDenied, std::string(cap) + " missing: " + text);
        // An interface that is down or gone fails every address alike.
        case ENODEV:
        case ENXIO:
        case ENETDOWN: return NetadminError(AliasStatus::NoSuchInterface, text);
        case EEXIST: return NetadminError(AliasStatus::Exists, text);
        case EADDRNOTAVAIL:
        case ESRCH: return NetadminError(AliasStatus::NotFound, text);
        default: return NetadminError(AliasStatus::Other, text);
    }
}

NetadminReply Reply(NetadminReplyKind kind) {
    NetadminReply reply;
    reply.kind = kind;
    return reply;
}

std::string Cidr(uint32_t address, int prefix) { return FormatIpv4(address) + "/" + std::to_string(prefix); }

std::vector<hostnet::NetworkInUse> InUse(const std::vector<hostnet::LinkRecord>& links,
                                        const std::vector<hostnet::AddressRecord>& addresses,
                                        const std::vector<hostnet::RouteRecord>& routes) {
    auto name = [&](uint32_t index) {
        for (const auto& l : links)
            if (l.index == index) return l.name;
        return "interface " + std::to_string(index);
    };
    std::vector<hostnet::NetworkInUse> result;
    for (const auto& a : addresses) result.push_back({a.index, name(a.index), a.address, a.prefix, false});
    for (const auto& r : routes)
        if (hostnet::IsNetworkRoute(r)) result.push_back({r.oif, name(r.oif), r.destination, r.prefix, true});
    return result;
}

}  // namespace

NetadminService::NetadminService(std::string ifname) : ifname_(std::move(ifname)) {
    EffectiveCaps(hasNetAdmin_, hasNetRaw_);
}

std::string NetadminService::Resolve(bool mustBeUp) {
    if (ifname_ == "lo") return NetadminError(AliasStatus::Refused, "lo is a loopback interface");
    ifIndex_ = if_nametoindex(ifname_.c_str());
    if (ifIndex_ == 0) return NetadminError(AliasStatus::NoSuchInterface, "no interface " + ifname_);
    std::vector<hostnet::LinkRecord> links;
    if (const int e = hostnet::DumpLinks(netlink_, links); e != 0) return FromErrno(e, {}, "CAP_NET_ADMIN");
    for (const auto& l : links) {
        if (l.index != ifIndex_) continue;
        mac_ = l.mac;
        if (l.flags & IFF_LOOPBACK) return NetadminError(AliasStatus::Refused, ifname_ + " is a loopback interface");
        // Tunnels, PPP and the like have no neighbours to probe, and an
        // address there is nothing a camera on the LAN could reach.
        if (l.arpType != ARPHRD_ETHER)
            return NetadminError(AliasStatus::Refused, ifname_ + " is not an Ethernet-like interface");
        const bool up = l.operState == IF_OPER_UP ||
                        (l.operState == IF_OPER_UNKNOWN && (l.flags & IFF_UP) && (l.flags & IFF_RUNNING));
        if (mustBeUp && !up) return NetadminError(AliasStatus::Refused, ifname_ + " is not up");
        return {};
    }
    return NetadminError(AliasStatus::NoSuchInterface, "no interface " + ifname_);
}

std::string NetadminService::PaceArp() {
    if (!shared_.Problem().empty()) return NetadminError(AliasStatus::Other, shared_.Problem());
    if (!shared_.Lock(kArpLockWaitMs))
        return NetadminError(AliasStatus::Other, "another orvanta-netadmin held the shared ARP pace for " +
                                                     std::to_string(kArpLockWaitMs / 1000) + " s");
    // Held for the whole spacing, so no other helper's frame comes closer.
    std::this_thread::sleep_for(std::chrono::milliseconds(kArpSpacingMs));
    shared_.Unlock();
    return {};
}

void NetadminService::Log(const char* what, uint32_t address, int prefix) {
    // The real user id: file capabilities leave it the caller's.
    syslog(LOG_NOTICE, "uid %u %s %s on %s", unsigned(getuid()), what, Cidr(address, prefix).c_str(), ifname_.c_str());
}

std::string NetadminService::Handle(std::string_view line) {
    NetadminRequest req;
    std::string why;
    if (!hostnet::ParseNetadminRequest(line, ifname_, req, &why)) return NetadminError(AliasStatus::Refused, why);
    switch (req.verb) {
        case NetadminVerb::Add: return Add(req);
        case NetadminVerb::Del: return Del(req);
        case NetadminVerb::Probe: return Probe(req);
        case NetadminVerb::Arp: return Arp(req);
    }
    return NetadminError(AliasStatus::Refused, "unknown request");
}

std::string NetadminService::Dump(std::vector<hostnet::AddressRecord>& addresses,
                                  std::vector<hostnet::RouteRecord>* routes, std::vector<hostnet::LinkRecord>* links) {
    addresses.clear();
    if (const int e = hostnet::DumpIpv4Addresses(netlink_, addresses); e != 0) return FromErrno(e, {}, "CAP_NET_ADMIN");
    if (routes) {
        routes->clear();
        if (const int e = hostnet::DumpIpv4Routes(netlink_, *routes); e != 0) return FromErrno(e, {}, "CAP_NET_ADMIN");
    }
    if (links) {
        links->clear();
        if (const int e = hostnet::DumpLinks(netlink_, *links); e != 0) return FromErrno(e, {}, "CAP_NET_ADMIN");
    }
    return {};
}

void NetadminService::RemoveStale(const std::vector<hostnet::AddressRecord>& addresses) {
    for (const auto& a : addresses) {
        if (a.protocol != hostnet::kAliasProtocol) continue;
        if (a.priority == shared_.Owner()) {
            // Our number, but not an address we added: a helper that had the
            // number before us (in another pid namespace, or before its pid
            // came round again) left it behind.
            const bool held = std::any_of(held_.begin(), held_.end(), [&](const Held& h) {
                return a.index == ifIndex_ && h.address == a.address && h.prefix == a.prefix;
            });
            if (held) continue;
        } else if (shared_.Probe(a.priority).alive) {
            continue;
        }
        if (Delete(a.index, a.address, a.prefix, nullptr) == 0) {
            char name[IF_NAMESIZE] = {};
            syslog(LOG_NOTICE, "uid %u removed %s on %s, left by helper %u that is gone", unsigned(getuid()),
                   Cidr(a.address, a.prefix).c_str(), if_indextoname(a.index, name) ? name : "?",
                   unsigned(a.priority));
        }
    }
}

std::string NetadminService::Add(const NetadminRequest& req) {
    if (!hasNetAdmin_) return Missing("CAP_NET_ADMIN");
    if (std::string err = Resolve(true); !err.empty()) return err;
    if (!shared_.Problem().empty()) return NetadminError(AliasStatus::Other, shared_.Problem());
    if (std::string err = OpenArp(); !err.empty()) return err;
    // Counting and adding are one step over all helpers.
    if (!shared_.Lock(kAddLockWaitMs))
        return NetadminError(AliasStatus::Other, "another orvanta-netadmin held the shared lock for " +
                                                     std::to_string(kAddLockWaitMs / 1000) + " s");
    HelperLockHold hold(shared_);
    std::vector<hostnet::AddressRecord> addresses;
    std::vector<hostnet::RouteRecord> routes;
    std::vector<hostnet::LinkRecord> links;
    if (std::string err = Dump(addresses, nullptr, nullptr); !err.empty()) return err;
    RemoveStale(addresses);
    if (std::string err = Dump(addresses, &routes, &links); !err.empty()) return err;
    int marked = 0;
    for (const auto& a : addresses) {
        if (a.address == req.address) {
            // One of our own addresses asked for again, for another camera
            // of its subnet: it gains the route to that camera.
            if (req.camera != 0 && a.index == ifIndex_ && a.prefix == req.prefix &&
                a.protocol == hostnet::kAliasProtocol && a.priority == shared_.Owner())
                return RouteCamera(req, routes);
            return NetadminError(AliasStatus::Exists, FormatIpv4(req.address) + " is already an address of this PC");
        }
        if (a.protocol == hostnet::kAliasProtocol) ++marked;
    }
    const auto inUse = InUse(links, addresses, routes);
    if (std::string conflict = hostnet::TemporaryAddressConflict(req.address, req.prefix, ifIndex_, inUse);
        !conflict.empty())
        return NetadminError(AliasStatus::Refused, conflict);
    if (marked >= kMaxHeldAliases)
        return NetadminError(AliasStatus::Refused, "already " + std::to_string(marked) +
                                                       " addresses added by orvanta-netadmin (at most " +
                                                       std::to_string(kMaxHeldAliases) + " at once)");
    // Taking an address another host holds would let us speak for it (and
    // ARP from it): ask first, the RFC 5227 way, and add only when nobody
    // answers.
    if (std::string err = PaceArp(); !err.empty()) return err;
    const hostnet::ArpOutcome probe = arp_.Probe(req.address, kAddProbeWaitMs);
    if (probe.error != 0) return FromErrno(probe.error, {}, "CAP_NET_RAW");
    if (probe.answered)
        return NetadminError(AliasStatus::Duplicate, FormatIpv4(req.address) + " is in use by " + FormatMac(probe.mac));
    // Where the route leads is judged before the address is on: once it
    // is, the kernel's lookup finds the address itself.
    hostnet::RouteLookup subnet, camera;
    if (const int e = hostnet::LookupIpv4Route(netlink_, req.address, subnet); e != 0)
        return FromErrno(e, {}, "CAP_NET_ADMIN");
    if (req.camera != 0)
        if (const int e = hostnet::LookupIpv4Route(netlink_, req.camera, camera); e != 0)
            return FromErrno(e, {}, "CAP_NET_ADMIN");
    std::string extack;
    // The helper's owner number rides on the address: who added it, and
    // (through the mark in HelperLock) whether that helper still runs.
    int e = hostnet::AddIpv4Address(netlink_, ifIndex_, req.address, req.prefix, shared_.Owner(), &extack);
    if (e != 0) return FromErrno(e, extack, "CAP_NET_ADMIN");
    held_.push_back({req.address, req.prefix});
    Log("added", req.address, req.prefix);
    if (std::string problem = CheckMark(req); !problem.empty()) return problem;
    // Without a route of its own the address reaches nothing beyond what
    // the PC's routes already lead to this card.
    if (const auto target =
            hostnet::TemporaryAddressRoute(req.address, req.prefix, req.camera, ifIndex_, subnet, camera, inUse)) {
        e = AddRoute(req.address, target->destination, target->prefix, &extack);
        if (e != 0) {
            Delete(ifIndex_, req.address, req.prefix, nullptr);
            return FromErrno(e, extack, "CAP_NET_ADMIN");
        }
    }
    return FormatNetadminReply(Reply(NetadminReplyKind::Ok));
}

std::string NetadminService::CheckMark(const NetadminRequest& req) {
    std::vector<hostnet::AddressRecord> readBack;
    std::string problem;
    if (const int e = hostnet::DumpIpv4Addresses(netlink_, readBack); e != 0)
        problem = std::string("cannot read the address back: ") + std::strerror(-e);
    else
        problem = hostnet::AliasMarkProblem(readBack, ifIndex_, req.address, req.prefix, shared_.Owner(),
                                            hostnet::KernelRelease());
    if (problem.empty()) return {};
    // Unmarked, nothing would ever count, own or clean it up: it goes now.
    hostnet::DeleteIpv4Address(netlink_, ifIndex_, req.address, req.prefix, nullptr);
    held_.erase(std::remove_if(held_.begin(), held_.end(),
                               [&](const Held& h) { return h.address == req.address && h.prefix == req.prefix; }),
                held_.end());
    Log("removed", req.address, req.prefix);
    return NetadminError(AliasStatus::Refused, problem);
}

int NetadminService::AddRoute(uint32_t source, uint32_t destination, int prefix, std::string* extack) {
    hostnet::RouteRecord route;
    route.destination = destination;
    route.prefix = prefix;
    route.oif = ifIndex_;
    route.source = source;
    route.metric = kAliasRouteMetric;
    return hostnet::AddIpv4Route(netlink_, route, extack);
}

std::string NetadminService::RouteCamera(const NetadminRequest& req, const std::vector<hostnet::RouteRecord>& routes) {
    int routed = 0;
    for (const auto& r : routes)
        if (r.protocol == hostnet::kAliasProtocol && r.oif == ifIndex_ && r.source == req.address) ++routed;
    hostnet::RouteLookup camera;
    if (const int e = hostnet::LookupIpv4Route(netlink_, req.camera, camera); e != 0)
        return FromErrno(e, {}, "CAP_NET_ADMIN");
    // The subnet counts as taken here: the address already has its route,
    // and the camera is routed only when that route does not reach it.
    const hostnet::RouteLookup taken{hostnet::RouteLookup::Result::Route, req.prefix, ifIndex_, true};
    const auto target = hostnet::TemporaryAddressRoute(req.address, req.prefix, req.camera, ifIndex_, taken, camera, {});
    if (!target) return FormatNetadminReply(Reply(NetadminReplyKind::Ok));
    if (routed >= kMaxCameraRoutes)
        return NetadminError(AliasStatus::Refused, "already " + std::to_string(routed) + " cameras routed through " +
                                                       FormatIpv4(req.address) + " (at most " +
                                                       std::to_string(kMaxCameraRoutes) + ")");
    std::string extack;
    const int e = AddRoute(req.address, target->destination, target->prefix, &extack);
    return e == 0 ? FormatNetadminReply(Reply(NetadminReplyKind::Ok)) : FromErrno(e, extack, "CAP_NET_ADMIN");
}

int NetadminService::Delete(uint32_t index, uint32_t address, int prefix, std::string* extack) {
    // The routes first: with the address gone the kernel would drop them
    // too, but only those that name it as their source.
    std::vector<hostnet::RouteRecord> routes;
    if (hostnet::DumpIpv4Routes(netlink_, routes) == 0)
        for (const auto& r : routes)
            if (r.protocol == hostnet::kAliasProtocol && r.oif == index && r.source == address)
                hostnet::DeleteIpv4Route(netlink_, r);
    const int e = hostnet::DeleteIpv4Address(netlink_, index, address, prefix, extack);
    if (e != 0) return e;
    if (index == ifIndex_)
        held_.erase(std::remove_if(held_.begin(), held_.end(),
                                   [&](const Held& h) { return h.address == address && h.prefix == prefix; }),
                    held_.end());
    Log("removed", address, prefix);
    return 0;
}

std::string NetadminService::Del(const NetadminRequest& req) {
    if (!hasNetAdmin_) return Missing("CAP_NET_ADMIN");
    if (std::string err = Resolve(false); !err.empty()) return err;
    // Only aliases that carry our mark may go: the helper must not become a
    // way to strip the PC of its real addresses.
    std::vector<hostnet::AddressRecord> addresses;
    if (std::string err = Dump(addresses, nullptr, nullptr); !err.empty()) return err;
    const hostnet::AddressRecord* ours = nullptr;
    bool present = false;
    for (const auto& a : addresses) {
        if (a.index != ifIndex_ || a.address != req.address) continue;
        present = true;
        if (a.protocol == hostnet::kAliasProtocol && a.prefix == req.prefix) ours = &a;
    }
    if (!present) return NetadminError(AliasStatus::NotFound, FormatIpv4(req.address) + " is not on " + ifname_);
    if (!ours) return NetadminError(AliasStatus::Refused, FormatIpv4(req.address) + " was not added by orvanta-netadmin");
    // Another user's camera session must not lose its address under it:
    // while the helper that added it runs, only its user (or root) removes it.
    if (getuid() != 0 && ours->priority != shared_.Owner()) {
        const HelperLock::Liveness owner = shared_.Probe(ours->priority);
        const long uid = owner.uid;
        if (owner.alive && uid != long(getuid()))
            return NetadminError(AliasStatus::Refused,
                                 FormatIpv4(req.address) + " was added for another user" +
                                     (uid >= 0 ? " (uid " + std::to_string(uid) + ")" : std::string()) +
                                     ", whose orvanta-netadmin still runs");
    }
    std::string extack;
    const int e = Delete(ifIndex_, req.address, req.prefix, &extack);
    return e == 0 ? FormatNetadminReply(Reply(NetadminReplyKind::Ok)) : FromErrno(e, extack, "CAP_NET_ADMIN");
}

int NetadminService::RemoveOwnAliases() {
    if (held_.empty() || !Resolve(false).empty()) return 0;
    std::vector<hostnet::AddressRecord> addresses;
    if (hostnet::DumpIpv4Addresses(netlink_, addresses) != 0) return 0;
    int removed = 0;
    for (const Held h : std::vector<Held>(held_)) {
        // Someone may have removed it meanwhile, or put the same address
        // back by other means: only our own mark goes.
        bool ours = false;
        for (const auto& a : addresses)
            if (a.index == ifIndex_ && a.address == h.address && a.prefix == h.prefix &&
                a.protocol == hostnet::kAliasProtocol && a.priority == shared_.Owner())
                ours = true;
        if (ours && Delete(ifIndex_, h.address, h.prefix, nullptr) == 0) ++removed;
    }
    held_.clear();
    return removed;
}

std::string NetadminService::OpenArp() {
    if (!hasNetRaw_) return Missing("CAP_NET_RAW");
    const uint32_t before = ifIndex_;
    if (std::string err = Resolve(true); !err.empty()) return err;
    if (arpOpen_ && before == ifIndex_) return {};
    const int e = arp_.Open(ifIndex_, mac_);
    if (e != 0) return FromErrno(e, {}, "CAP_NET_RAW");
    arpOpen_ = true;
    return {};
}

std::string NetadminService::Probe(const NetadminRequest& req) {
    if (std::string err = OpenArp(); !err.empty()) return err;
    if (std::string err = PaceArp(); !err.empty()) return err;
    const hostnet::ArpOutcome out = arp_.Probe(req.address, req.waitMs);
    if (out.error != 0) return FromErrno(out.error, {}, "CAP_NET_RAW");
    NetadminReply reply = Reply(out.answered ? NetadminReplyKind::InUse : NetadminReplyKind::Free);
    reply.mac = out.mac;
    return FormatNetadminReply(reply);
}

std::string NetadminService::Arp(const NetadminRequest& req) {
    if (std::string err = OpenArp(); !err.empty()) return err;
    // A request names its sender, and neighbours learn from it: with any
    // source allowed, anyone could use us to poison their ARP caches. Only
    // the interface's own addresses may speak; an alias became one only
    // after its probe showed nobody else holds it.
    std::vector<hostnet::AddressRecord> addresses;
    if (const int e = hostnet::DumpIpv4Addresses(netlink_, addresses); e != 0) return FromErrno(e, {}, "CAP_NET_RAW");
    bool own = false;
    for (const auto& a : addresses)
        if (a.index == ifIndex_ && a.address == req.source) own = true;
    if (!own) return NetadminError(AliasStatus::Refused, FormatIpv4(req.source) + " is not an address of " + ifname_);
    if (std::string err = PaceArp(); !err.empty()) return err;
    const hostnet::ArpOutcome out = arp_.Request(req.address, req.source, req.waitMs);
    if (out.error != 0) return FromErrno(out.error, {}, "CAP_NET_RAW");
    NetadminReply reply = Reply(out.answered ? NetadminReplyKind::Mac : NetadminReplyKind::NoAnswer);
    reply.mac = out.mac;
    return FormatNetadminReply(reply);
}

}  // namespace orvanta::netadmin

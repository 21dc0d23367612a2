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

#include "core/text/AddressText.h"
#include "core/hostnet/linux/NetlinkInventory.h"

namespace orvanta::netadmin {

namespace {

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

std::string Error(const char* kind, const std::string& text) { return std::string("err ") + kind + " " + text; }

std::string Missing(const char* cap) {
    return Error("eperm", std::string(cap) + " missing: Operation not permitted");
}

// The kernel's answer to an address change as an answer line. The
// extended-ack text, when there is one, says more than strerror.
std::string FromErrno(int error, const std::string& extack, const char* cap) {
    const std::string text = std::strerror(-error) + (extack.empty() ? std::string() : ": " + extack);
    switch (-error) {
        case EPERM:
        case EACCES: return Error("eperm", std::string(cap) + " missing: " + text);
        // An interface that is down or gone fails every address alike.
        case ENODEV:
        case ENXIO:
        case ENETDOWN: return Error("nodev", text);
        case EEXIST: return Error("exists", text);
        case EADDRNOTAVAIL:
        case ESRCH: return Error("notfound", text);
        default: return Error("other", text);
    }
}

}  // namespace

NetadminService::NetadminService(std::string ifname) : ifname_(std::move(ifname)) {
    EffectiveCaps(hasNetAdmin_, hasNetRaw_);
}

std::string NetadminService::Resolve(bool mustBeUp) {
    if (ifname_ == "lo") return Error("refused", "lo is a loopback interface");
    ifIndex_ = if_nametoindex(ifname_.c_str());
    if (ifIndex_ == 0) return Error("nodev", "no interface " + ifname_);
    std::vector<hostnet::LinkRecord> links;
    if (const int e = hostnet::DumpLinks(netlink_, links); e != 0) return FromErrno(e, {}, "CAP_NET_ADMIN");
    for (const auto& l : links) {
        if (l.index != ifIndex_) continue;
        mac_ = l.mac;
        if (l.flags & IFF_LOOPBACK) return Error("refused", ifname_ + " is a loopback interface");
        // Tunnels, PPP and the like have no neighbours to probe, and an
        // address there is nothing a camera on the LAN could reach.
        if (l.arpType != ARPHRD_ETHER) return Error("refused", ifname_ + " is not an Ethernet-like interface");
        const bool up = l.operState == IF_OPER_UP ||
                        (l.operState == IF_OPER_UNKNOWN && (l.flags & IFF_UP) && (l.flags & IFF_RUNNING));
        if (mustBeUp && !up) return Error("refused", ifname_ + " is not up");
        return {};
    }
    return Error("nodev", "no interface " + ifname_);
}

void NetadminService::PaceArp() {
    using namespace std::chrono;
    for (;;) {
        const auto now = steady_clock::now();
        arpTokens_ = std::min<double>(kArpBurst, arpTokens_ + duration<double>(now - arpRefilled_).count() * kArpPerSecond);
        arpRefilled_ = now;
        if (arpTokens_ >= 1) {
            arpTokens_ -= 1;
            return;
        }
        std::this_thread::sleep_for(duration<double>((1 - arpTokens_) / kArpPerSecond));
    }
}

void NetadminService::Log(const char* what, uint32_t address, int prefix) {
    // The real user id: file capabilities leave it the caller's.
    syslog(LOG_NOTICE, "uid %u %s %s/%d on %s", unsigned(getuid()), what, FormatIpv4(address).c_str(),
           prefix, ifname_.c_str());
}

std::string NetadminService::Handle(std::string_view line) {
    NetadminRequest req;
    std::string why;
    if (!hostnet::ParseNetadminRequest(line, ifname_, req, &why)) return Error("refused", why);
    switch (req.verb) {
        case NetadminVerb::Add: return Add(req);
        case NetadminVerb::Del: return Del(req);
        case NetadminVerb::Probe: return Probe(req);
        case NetadminVerb::Arp: return Arp(req);
    }
    return Error("refused", "unknown request");
}

std::string NetadminService::Add(const NetadminRequest& req) {
    if (!hasNetAdmin_) return Missing("CAP_NET_ADMIN");
    if (std::string err = Resolve(true); !err.empty()) return err;
    std::vector<hostnet::AddressRecord> addresses;
    if (const int e = hostnet::DumpIpv4Addresses(netlink_, addresses); e != 0) return FromErrno(e, {}, "CAP_NET_ADMIN");
    int marked = 0;
    for (const auto& a : addresses) {
        if (a.address == req.address)
            return Error("exists", FormatIpv4(req.address) + " is already an address of this PC");
        if (a.protocol == hostnet::kAliasProtocol) ++marked;
    }
    if (marked >= kMaxHeldAliases)
        return Error("refused", "already " + std::to_string(marked) + " addresses added by orvanta-netadmin (at most " +
                                    std::to_string(kMaxHeldAliases) + " at once)");
    // Taking an address another host holds would let us speak for it (and
    // ARP from it): ask first, the RFC 5227 way, and add only when nobody
    // answers.
    if (std::string err = OpenArp(); !err.empty()) return err;
    PaceArp();
    const hostnet::ArpOutcome probe = arp_.Probe(req.address, kAddProbeWaitMs);
    if (probe.error != 0) return FromErrno(probe.error, {}, "CAP_NET_RAW");
    if (probe.answered)
        return Error("dup", FormatIpv4(req.address) + " is in use by " + FormatMac(probe.mac));
    std::string extack;
    const int e = hostnet::AddIpv4Address(netlink_, ifIndex_, req.address, req.prefix, &extack);
    if (e != 0) return FromErrno(e, extack, "CAP_NET_ADMIN");
    held_.push_back({req.address, req.prefix});
    Log("added", req.address, req.prefix);
    return "ok";
}

int NetadminService::Delete(uint32_t address, int prefix, std::string* extack) {
    const int e = hostnet::DeleteIpv4Address(netlink_, ifIndex_, address, prefix, extack);
    if (e != 0) return e;
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
    if (const int e = hostnet::DumpIpv4Addresses(netlink_, addresses); e != 0) return FromErrno(e, {}, "CAP_NET_ADMIN");
    bool present = false, ours = false;
    for (const auto& a : addresses) {
        if (a.index != ifIndex_ || a.address != req.address) continue;
        present = true;
        if (a.protocol == hostnet::kAliasProtocol && a.prefix == req.prefix) ours = true;
    }
    if (!present) return Error("notfound", FormatIpv4(req.address) + " is not on " + ifname_);
    if (!ours) return Error("refused", FormatIpv4(req.address) + " was not added by orvanta-netadmin");
    std::string extack;
    const int e = Delete(req.address, req.prefix, &extack);
    return e == 0 ? "ok" : FromErrno(e, extack, "CAP_NET_ADMIN");
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
                a.protocol == hostnet::kAliasProtocol)
                ours = true;
        if (ours && Delete(h.address, h.prefix, nullptr) == 0) ++removed;
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
    PaceArp();
    const hostnet::ArpOutcome out = arp_.Probe(req.address, req.waitMs);
    if (out.error != 0) return FromErrno(out.error, {}, "CAP_NET_RAW");
    return out.answered ? "dup " + FormatMac(out.mac) : "free";
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
    if (!own) return Error("refused", FormatIpv4(req.source) + " is not an address of " + ifname_);
    PaceArp();
    const hostnet::ArpOutcome out = arp_.Request(req.address, req.source, req.waitMs);
    if (out.error != 0) return FromErrno(out.error, {}, "CAP_NET_RAW");
    return out.answered ? "mac " + FormatMac(out.mac) : "noanswer";
}

}  // namespace orvanta::netadmin

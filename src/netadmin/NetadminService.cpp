#include "netadmin/NetadminService.h"

#include <linux/capability.h>
#include <net/if.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/hostnet/Ipv4Text.h"
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

bool NetadminService::Resolve() {
    ifIndex_ = if_nametoindex(ifname_.c_str());
    if (ifIndex_ == 0) return false;
    std::vector<hostnet::LinkRecord> links;
    if (hostnet::DumpLinks(netlink_, links) != 0) return false;
    for (const auto& l : links)
        if (l.index == ifIndex_) {
            mac_ = l.mac;
            return true;
        }
    return false;
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
    if (!Resolve()) return Error("nodev", "no interface " + ifname_);
    std::string extack;
    const int e = hostnet::AddIpv4Address(netlink_, ifIndex_, req.address, req.prefix, &extack);
    return e == 0 ? "ok" : FromErrno(e, extack, "CAP_NET_ADMIN");
}

std::string NetadminService::Del(const NetadminRequest& req) {
    if (!hasNetAdmin_) return Missing("CAP_NET_ADMIN");
    if (!Resolve()) return Error("nodev", "no interface " + ifname_);
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
    if (!present) return Error("notfound", hostnet::FormatIpv4(req.address) + " is not on " + ifname_);
    if (!ours) return Error("refused", hostnet::FormatIpv4(req.address) + " was not added by orvanta-netadmin");
    std::string extack;
    const int e = hostnet::DeleteIpv4Address(netlink_, ifIndex_, req.address, req.prefix, &extack);
    return e == 0 ? "ok" : FromErrno(e, extack, "CAP_NET_ADMIN");
}

std::string NetadminService::OpenArp() {
    if (!hasNetRaw_) return Missing("CAP_NET_RAW");
    const uint32_t before = ifIndex_;
    if (!Resolve()) return Error("nodev", "no interface " + ifname_);
    if (arpOpen_ && before == ifIndex_) return {};
    const int e = arp_.Open(ifIndex_, mac_);
    if (e != 0) return FromErrno(e, {}, "CAP_NET_RAW");
    arpOpen_ = true;
    return {};
}

std::string NetadminService::Probe(const NetadminRequest& req) {
    if (std::string err = OpenArp(); !err.empty()) return err;
    const hostnet::ArpOutcome out = arp_.Probe(req.address, req.waitMs);
    if (out.error != 0) return FromErrno(out.error, {}, "CAP_NET_RAW");
    return out.answered ? "dup " + hostnet::FormatMac(out.mac) : "free";
}

std::string NetadminService::Arp(const NetadminRequest& req) {
    if (std::string err = OpenArp(); !err.empty()) return err;
    // A request names its sender, and neighbours learn from it: with any
    // source allowed, anyone could use us to poison their ARP caches. Only
    // the interface's own addresses may speak.
    std::vector<hostnet::AddressRecord> addresses;
    if (const int e = hostnet::DumpIpv4Addresses(netlink_, addresses); e != 0) return FromErrno(e, {}, "CAP_NET_RAW");
    bool own = false;
    for (const auto& a : addresses)
        if (a.index == ifIndex_ && a.address == req.source) own = true;
    if (!own) return Error("refused", hostnet::FormatIpv4(req.source) + " is not an address of " + ifname_);
    const hostnet::ArpOutcome out = arp_.Request(req.address, req.source, req.waitMs);
    if (out.error != 0) return FromErrno(out.error, {}, "CAP_NET_RAW");
    return out.answered ? "mac " + hostnet::FormatMac(out.mac) : "noanswer";
}

}  // namespace orvanta::netadmin

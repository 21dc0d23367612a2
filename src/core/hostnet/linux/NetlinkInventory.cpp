#include "core/hostnet/linux/NetlinkInventory.h"

#include <linux/if.h>
#include <linux/if_addr.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "core/base/AddressText.h"

namespace orvanta::hostnet {

namespace {

// IFLA_INFO_KIND from the attributes nested in IFLA_LINKINFO.
std::string LinkKind(const uint8_t* data, std::size_t len) {
    std::size_t at = 0;
    while (at + sizeof(rtattr) <= len) {
        rtattr head;
        std::memcpy(&head, data + at, sizeof head);
        if (head.rta_len < sizeof(rtattr) || at + head.rta_len > len) break;
        if ((head.rta_type & NLA_TYPE_MASK) == IFLA_INFO_KIND) {
            const char* text = reinterpret_cast<const char*>(data + at + RTA_LENGTH(0));
            return std::string(text, strnlen(text, head.rta_len - RTA_LENGTH(0)));
        }
        at += RTA_ALIGN(head.rta_len);
    }
    return {};
}

}  // namespace

bool IsNetworkRoute(const RouteRecord& route) {
    return route.type == RTN_UNICAST && route.table != RT_TABLE_LOCAL && route.prefix > 0;
}

int DumpLinks(NetlinkSocket& nl, std::vector<LinkRecord>& links) {
    ifinfomsg ifi = {};
    ifi.ifi_family = AF_UNSPEC;
    NetlinkMessage req(RTM_GETLINK, 0, &ifi, sizeof ifi);
    return nl.Dump(req.Bytes(), [&](const nlmsghdr& h) {
        if (h.nlmsg_type != RTM_NEWLINK || h.nlmsg_len < NLMSG_LENGTH(sizeof(ifinfomsg))) return;
        ifinfomsg info;
        std::memcpy(&info, NLMSG_DATA(&h), sizeof info);
        LinkRecord link;
        link.index = uint32_t(info.ifi_index);
        link.arpType = info.ifi_type;
        link.flags = info.ifi_flags;
        ForEachAttribute(h, sizeof(ifinfomsg), [&](uint16_t type, const uint8_t* data, std::size_t len) {
            if (type == IFLA_IFNAME) link.name.assign(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), len));
            if (type == IFLA_OPERSTATE && len >= 1) link.operState = data[0];
            if (type == IFLA_ADDRESS && len == 6) std::memcpy(link.mac.data(), data, 6);
            if (type == IFLA_MASTER && len >= 4) std::memcpy(&link.master, data, 4);
            if (type == IFLA_LINKINFO) link.kind = LinkKind(data, len);
        });
        links.push_back(link);
    });
}

int DumpIpv4Addresses(NetlinkSocket& nl, std::vector<AddressRecord>& addresses) {
    ifaddrmsg ifa = {};
    ifa.ifa_family = AF_INET;
    NetlinkMessage req(RTM_GETADDR, 0, &ifa, sizeof ifa);
    return nl.Dump(req.Bytes(), [&](const nlmsghdr& h) {
        if (h.nlmsg_type != RTM_NEWADDR || h.nlmsg_len < NLMSG_LENGTH(sizeof(ifaddrmsg))) return;
        ifaddrmsg info;
        std::memcpy(&info, NLMSG_DATA(&h), sizeof info);
        if (info.ifa_family != AF_INET) return;
        AddressRecord rec;
        rec.index = info.ifa_index;
        rec.prefix = info.ifa_prefixlen;
        rec.flags = info.ifa_flags;
        bool haveLocal = false;
        ForEachAttribute(h, sizeof(ifaddrmsg), [&](uint16_t type, const uint8_t* data, std::size_t len) {
            // IFA_LOCAL is the interface's own address; IFA_ADDRESS is the
            // peer on point-to-point links, so it only counts without a local.
            if (type == IFA_LOCAL && len == 4) {
                std::memcpy(&rec.address, data, 4);
                haveLocal = true;
            }
            if (type == IFA_ADDRESS && len == 4 && !haveLocal) std::memcpy(&rec.address, data, 4);
            if (type == IFA_FLAGS && len == 4) std::memcpy(&rec.flags, data, 4);
            if (type == IFA_PROTO && len >= 1) rec.protocol = data[0];
            if (type == IFA_RT_PRIORITY && len == 4) std::memcpy(&rec.priority, data, 4);
        });
        addresses.push_back(rec);
    });
}

int DumpIpv4Routes(NetlinkSocket& nl, std::vector<RouteRecord>& routes) {
    rtmsg rtm = {};
    rtm.rtm_family = AF_INET;
    NetlinkMessage req(RTM_GETROUTE, 0, &rtm, sizeof rtm);
    return nl.Dump(req.Bytes(), [&](const nlmsghdr& h) {
        if (h.nlmsg_type != RTM_NEWROUTE || h.nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg))) return;
        rtmsg info;
        std::memcpy(&info, NLMSG_DATA(&h), sizeof info);
        if (info.rtm_family != AF_INET) return;
        RouteRecord rec;
        rec.prefix = info.rtm_dst_len;
        rec.table = info.rtm_table;
        rec.type = info.rtm_type;
        rec.protocol = info.rtm_protocol;
        ForEachAttribute(h, sizeof(rtmsg), [&](uint16_t type, const uint8_t* data, std::size_t len) {
            if (type == RTA_DST && len == 4) std::memcpy(&rec.destination, data, 4);
            if (type == RTA_TABLE && len == 4) std::memcpy(&rec.table, data, 4);
            if (type == RTA_OIF && len == 4) std::memcpy(&rec.oif, data, 4);
            if (type == RTA_PREFSRC && len == 4) std::memcpy(&rec.source, data, 4);
            if (type == RTA_PRIORITY && len == 4) std::memcpy(&rec.metric, data, 4);
            if (type == RTA_GATEWAY && len == 4) std::memcpy(&rec.gateway, data, 4);
        });
        routes.push_back(rec);
    });
}

int LookupIpv4Route(NetlinkSocket& nl, uint32_t destination, RouteLookup& out) {
    out = RouteLookup{};
    rtmsg rtm = {};
    rtm.rtm_family = AF_INET;
    rtm.rtm_dst_len = 32;
    rtm.rtm_flags = RTM_F_FIB_MATCH;
    NetlinkMessage req(RTM_GETROUTE, 0, &rtm, sizeof rtm);
    req.AddAttribute(RTA_DST, &destination, 4);
    bool answered = false;
    const int e = nl.Get(req.Bytes(), [&](const nlmsghdr& h) {
        if (h.nlmsg_type != RTM_NEWROUTE || h.nlmsg_len < NLMSG_LENGTH(sizeof(rtmsg))) return;
        rtmsg info;
        std::memcpy(&info, NLMSG_DATA(&h), sizeof info);
        answered = true;
        out.result = RouteLookup::Result::Route;
        out.prefix = info.rtm_dst_len;
        ForEachAttribute(h, sizeof(rtmsg), [&](uint16_t type, const uint8_t* data, std::size_t len) {
            if (type == RTA_OIF && len == 4) std::memcpy(&out.oif, data, 4);
            // Several next hops are as good as a router: none of them is
            // this card's own link to the destination.
            if (type == RTA_GATEWAY || type == RTA_VIA || type == RTA_MULTIPATH) out.viaGateway = true;
        });
        if (info.rtm_type != RTN_UNICAST && info.rtm_type != RTN_LOCAL) out.result = RouteLookup::Result::Barred;
    });
    switch (-e) {
        case 0: return answered ? 0 : -EPROTO;
        case ENETUNREACH: return 0;  // NoRoute
        // What the kernel answers for a route of type unreachable, prohibit
        // and blackhole.
        case EHOSTUNREACH:
        case EACCES:
        case EINVAL: out.result = RouteLookup::Result::Barred; return 0;
        default: return e;
    }
}

namespace {

NetlinkMessage AddressMessage(uint16_t type, uint16_t flags, uint32_t index, uint32_t address, int prefix) {
    ifaddrmsg ifa = {};
    ifa.ifa_family = AF_INET;
    ifa.ifa_prefixlen = uint8_t(prefix);
    ifa.ifa_index = index;
    ifa.ifa_scope = RT_SCOPE_UNIVERSE;
    NetlinkMessage msg(type, flags, &ifa, sizeof ifa);
    msg.AddAttribute(IFA_LOCAL, &address, 4);
    msg.AddAttribute(IFA_ADDRESS, &address, 4);
    return msg;
}

}  // namespace

int DumpLinksAndAddresses(std::vector<LinkRecord>& links, std::vector<AddressRecord>& addresses) {
    NetlinkSocket nl;
    const int e = DumpLinks(nl, links);
    return e != 0 ? e : DumpIpv4Addresses(nl, addresses);
}

int AddIpv4Address(NetlinkSocket& nl, uint32_t index, uint32_t address, int prefix, uint32_t priority,
                   std::string* text) {
    NetlinkMessage msg = AddressMessage(RTM_NEWADDR, NLM_F_CREATE | NLM_F_EXCL, index, address, prefix);
    // The flag word of ifaddrmsg holds only the low eight flags.
    const uint32_t flags = IFA_F_NOPREFIXROUTE;
    msg.AddAttribute(IFA_FLAGS, &flags, 4);
    if (priority != 0) msg.AddAttribute(IFA_RT_PRIORITY, &priority, 4);
    if (prefix < 31) {
        const uint32_t broadcast = address | ~PrefixMask(prefix);
        msg.AddAttribute(IFA_BROADCAST, &broadcast, 4);
    }
    const uint8_t proto = kAliasProtocol;
    msg.AddAttribute(IFA_PROTO, &proto, 1);
    return nl.Transact(msg.Bytes(), text);
}

int DeleteIpv4Address(NetlinkSocket& nl, uint32_t index, uint32_t address, int prefix, std::string* text) {
    return nl.Transact(AddressMessage(RTM_DELADDR, 0, index, address, prefix).Bytes(), text);
}

namespace {

NetlinkMessage RouteMessage(uint16_t type, uint16_t flags, const RouteRecord& route) {
    rtmsg rtm = {};
    rtm.rtm_family = AF_INET;
    rtm.rtm_dst_len = uint8_t(route.prefix);
    rtm.rtm_table = RT_TABLE_MAIN;
    rtm.rtm_protocol = kAliasProtocol;
    rtm.rtm_scope = RT_SCOPE_LINK;
    rtm.rtm_type = RTN_UNICAST;
    NetlinkMessage msg(type, flags, &rtm, sizeof rtm);
    msg.AddAttribute(RTA_DST, &route.destination, 4);
    msg.AddAttribute(RTA_OIF, &route.oif, 4);
    if (route.source != 0) msg.AddAttribute(RTA_PREFSRC, &route.source, 4);
    msg.AddAttribute(RTA_PRIORITY, &route.metric, 4);
    return msg;
}

}  // namespace

int AddIpv4Route(NetlinkSocket& nl, const RouteRecord& route, std::string* text) {
    return nl.Transact(RouteMessage(RTM_NEWROUTE, NLM_F_CREATE | NLM_F_EXCL, route).Bytes(), text);
}

int DeleteIpv4Route(NetlinkSocket& nl, const RouteRecord& route) {
    return nl.Transact(RouteMessage(RTM_DELROUTE, 0, route).Bytes(), nullptr);
}

}  // namespace orvanta::hostnet

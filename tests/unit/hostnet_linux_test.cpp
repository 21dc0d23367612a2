// The Linux side without touching any network: the helper's request check,
// the system files and lease files, and what happens when the helper is not
// there. Nothing here sends a packet or changes an address.
#include <gtest/gtest.h>

#include <set>
#include <net/if.h>

#include <linux/netlink.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "FakeHostNetwork.h"
#include "core/hostnet/NetadminRequest.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/hostnet/linux/AliasMark.h"
#include "core/hostnet/linux/DhcpLeases.h"
#include "core/hostnet/linux/LinuxHostNetwork.h"
#include "core/hostnet/linux/NetadminClient.h"
#include "core/hostnet/linux/NetlinkSocket.h"
#include "core/hostnet/linux/SystemFiles.h"
#include "core/base/AddressText.h"
#include "core/base/Diagnostics.h"
#include "core/base/Ipv4Address.h"
#include "core/base/MacAddress.h"
#include "core/hostnet/LinkLayerAddress.h"

namespace orvanta::hostnet {
namespace {

namespace fs = std::filesystem;

TEST(NetadminRequestTest, AcceptsOnlyTheFixedFormatForItsInterface) {
    struct Row {
        const char* line;
        bool accepted;
        const char* why;  // what a wrong acceptance would let through
    } rows[] = {
        {"add eth0 192.168.5.254/24", true, ""},
        {"del eth0 10.1.255.254/16", true, ""},
        {"probe eth0 192.168.5.254 1000", true, ""},
        {"arp eth0 192.168.1.252 192.168.1.10 1000", true, ""},
        {"add eth1 192.168.5.254/24", false, "another interface than the one served"},
        {"add eth 192.168.5.254/24", false, "a prefix of the interface name"},
        {"add eth0 192.168.5.254", false, "an add without prefix"},
        {"add eth0 192.168.5/24", false, "a short address inet_aton would take"},
        {"add eth0 0x7f.1.1.1/8", false, "hex forms"},
        {"add eth0 192.168.010.1/24", false, "a leading zero, octal to inet_aton"},
        {"add eth0 fe80::1/64", false, "IPv6"},
        {"add eth0 192.168.5.256/24", false, "an octet above 255"},
        {"add eth0 192.168.5.1/33", false, "a prefix above 32"},
        {"add eth0 192.168.5.1/024", false, "leading zeros"},
        {"add eth0 127.0.0.2/8", false, "loopback"},
        {"add eth0 224.0.0.1/4", false, "multicast"},
        {"add eth0 0.0.0.0/0", false, "the unspecified address"},
        {"add  eth0 192.168.5.1/24", false, "doubled spaces"},
        {"add eth0 192.168.5.1/24 ", false, "a trailing blank"},
        {"add eth0 192.168.5.1/24 extra", false, "extra words"},
        {"add eth0 192.168.5.1/24\r", false, "a control character"},
        {"probe eth0 192.168.5.1 0", false, "a zero wait"},
        {"probe eth0 192.168.5.1 99999", false, "an unbounded wait"},
        {"arp eth0 192.168.1.252 0.0.0.0 1000", false, "an arp without a real source"},
        {"flush eth0 192.168.5.1/24", false, "an unknown verb"},
        // Which addresses an add may put on the PC, whoever asks.
        {"add eth0 169.254.7.1/16", true, ""},
        {"add eth0 172.31.255.254/12", true, ""},
        {"add eth0 10.255.255.254/8", true, ""},
        {"add eth0 192.168.5.1/30", true, ""},
        {"add eth0 198.51.100.8/32", false, "a public address made local"},
        {"add eth0 100.64.0.1/24", false, "shared address space is not private"},
        {"add eth0 191.255.255.254/2", false, "a quarter of IPv4 routed off the gateway"},
        {"add eth0 172.16.0.5/8", false, "a private address with a prefix reaching public space"},
        {"add eth0 10.1.1.1/7", false, "a prefix below /8"},
        {"add eth0 192.168.5.1/31", false, "a prefix above /30"},
        {"add eth0 192.168.5.255/24", false, "the subnet's broadcast"},
        {"add eth0 10.0.0.0/8", false, "the subnet's own number"},
        {"", false, "an empty line"},
        // The camera an add may name is another host of the new subnet.
        {"add eth0 10.255.255.254/8 10.0.0.50", true, ""},
        {"add eth0 192.168.5.254/24 192.168.6.20", false, "a camera outside the subnet: a route anywhere"},
        {"add eth0 192.168.5.254/24 192.168.5.254", false, "the address itself as the camera"},
        {"add eth0 192.168.5.254/24 192.168.5.255", false, "the subnet's broadcast as the camera"},
        {"del eth0 192.168.5.254/24 192.168.5.20", false, "a camera on a removal"},
    };
    for (const auto& r : rows) {
        NetadminRequest req;
        std::string why;
        EXPECT_EQ(ParseNetadminRequest(r.line, "eth0", req, &why), r.accepted) << r.line << " -- " << r.why;
        if (r.accepted) {
            // What the client formats is what the helper reads back.
            EXPECT_EQ(FormatNetadminRequest(req), r.line);
        } else {
            EXPECT_FALSE(why.empty()) << r.line;
        }
    }
    NetadminRequest req;
    EXPECT_FALSE(ParseNetadminRequest(std::string(200, 'a'), "eth0", req, nullptr));
}

TEST(NetadminRequestTest, AnswersReadBackAsWritten) {
    struct Row {
        const char* line;
        NetadminReplyKind kind;
        AliasStatus failure;
    } rows[] = {
        {"ok", NetadminReplyKind::Ok, AliasStatus::Other},
        {"free", NetadminReplyKind::Free, AliasStatus::Other},
        {"dup 02:00:00:00:05:14", NetadminReplyKind::InUse, AliasStatus::Other},
        {"mac 02:00:00:00:05:14", NetadminReplyKind::Mac, AliasStatus::Other},
        {"noanswer", NetadminReplyKind::NoAnswer, AliasStatus::Other},
        {"err eperm CAP_NET_ADMIN missing: Operation not permitted", NetadminReplyKind::Error,
         AliasStatus::PermissionDenied},
        {"err dup 192.168.5.254 is in use by 02:00:00:00:05:14", NetadminReplyKind::Error, AliasStatus::Duplicate},
        {"err refused 192.168.7.0/24 is the network of wlan0", NetadminReplyKind::Error, AliasStatus::Refused},
    };
    for (const auto& r : rows) {
        const NetadminReply reply = ParseNetadminReply(r.line);
        EXPECT_EQ(reply.kind, r.kind) << r.line;
        EXPECT_EQ(reply.failure, r.failure) << r.line;
        EXPECT_EQ(FormatNetadminReply(reply), r.line);
    }
    // What no request of ours is answered with reads as garbled, not as a success.
    for (const char* line : {"", "ok then", "dup", "mac zz:00:00:00:00:00", "free ", "OK"})
        EXPECT_EQ(ParseNetadminReply(line).kind, NetadminReplyKind::Garbled) << line;
    EXPECT_EQ(ParseNetadminReply("err weird text").failure, AliasStatus::Other);
    // A kernel text with a line break must not split one answer in two.
    EXPECT_EQ(NetadminError(AliasStatus::Other, "a\nb"), "err other a b");
}

// What the request check above does not reach: the address text on its own,
// as the record, the CLI and the simulator read it.
TEST(AddressTextTest, OnlyTheOneDottedAndColonFormsAreRead) {
    const char* refusedIpv4[] = {
        "",             // nothing
        "1.2.3.4.5",    // a fifth part
        "1..2.3",       // an empty part
        "1000.1.1.1",   // four digits
        "+1.2.3.4",     // a sign strtol would take
        " 1.2.3.4",     // a leading blank inet_aton skips
        "1.2.3.4\n",   // a line end left on
    };
    uint32_t a = 0x5a5a5a5a;
    for (const char* text : refusedIpv4) EXPECT_FALSE(ParseIpv4(text, a)) << text;
    EXPECT_EQ(a, 0x5a5a5a5au) << "a refused text leaves the address alone";
    ASSERT_TRUE(ParseIpv4HostOrder("10.1.2.3", a));
    EXPECT_EQ(a, 0x0A010203u);
    EXPECT_EQ(FormatIpv4HostOrder(0x0A010203u), "10.1.2.3");

    const char* refusedMac[] = {
        "0:e:53:1a:2b:3c",     // one-digit groups sscanf would take
        "00-0e-53-1a-2b-3c",   // another separator
        "00:0e:53:1a:2b:3c:",  // something after
        "00:0e:53:1a:2b",      // five groups
        "00:0g:53:1a:2b:3c",   // not hexadecimal
    };
    std::array<uint8_t, 6> mac{1, 2, 3, 4, 5, 6};
    for (const char* text : refusedMac) EXPECT_FALSE(ParseMac(text, mac)) << text;
    EXPECT_EQ(mac, (std::array<uint8_t, 6>{1, 2, 3, 4, 5, 6})) << "a refused text leaves the MAC alone";
    ASSERT_TRUE(ParseMac("00:0E:53:1a:2B:3c", mac));
    EXPECT_EQ(FormatMac(mac), "00:0e:53:1a:2b:3c");
    EXPECT_EQ(FormatMac(mac, MacCase::Upper), "00:0E:53:1A:2B:3C");
}

// One address value whichever order it came in: the record's and the
// socket's network order, the control's host order and the text all name
// the same address, and masking works on the value.
TEST(AddressTextTest, Ipv4ValueKeepsItsByteOrderToItself) {
    struct Row {
        const char* text;
        uint32_t hostOrder;
    };
    const Row rows[] = {
        {"10.1.2.3", 0x0A010203u},         // parts in the order they are written
        {"192.168.1.254", 0xC0A801FEu},    // a top bit set in the first part
        {"0.0.0.0", 0u},                   // unspecified
        {"255.255.255.255", 0xFFFFFFFFu},  // all ones
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const auto parsed = Ipv4Address::Parse(row.text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->HostOrder(), row.hostOrder);
        uint32_t network = 0;
        ASSERT_TRUE(ParseIpv4(row.text, network));
        EXPECT_EQ(parsed->NetworkOrder(), network);
        EXPECT_EQ(Ipv4Address::FromNetworkOrder(network), *parsed);
        EXPECT_EQ(parsed->Text(), row.text);
    }
    EXPECT_FALSE(Ipv4Address::Parse("10.1.2").has_value());
    EXPECT_FALSE(Ipv4Address::Parse("010.1.2.3").has_value());
    EXPECT_EQ(Ipv4Address::Parse("192.168.1.254")->FirstPart(), 192u);
    EXPECT_EQ(*Ipv4Address::Parse("192.168.1.254") & *Ipv4Address::Parse("255.255.255.0"),
              *Ipv4Address::Parse("192.168.1.0"));
}

// The MAC value every ONVIF path compares: one parser for the forms
// cameras and plans write, one printed form, equality by bytes.
TEST(AddressTextTest, MacValuesInEveryCommonForm) {
    const struct {
        const char* text;
        const char* value;  // "" when refused
    } cases[] = {
        {"00:04:7d:0e:b8:5c", "00:04:7d:0e:b8:5c"},
        {"00:04:7D:0E:B8:5C", "00:04:7d:0e:b8:5c"},  // capitals
        {"00-04-7d-0E-b8-5c", "00:04:7d:0e:b8:5c"},  // dashes, mixed case
        {"0004.7d0e.b85c", "00:04:7d:0e:b8:5c"},     // dotted groups of four
        {"00047D0EB85C", "00:04:7d:0e:b8:5c"},       // no separators
        {" 00047d0eb85c\t", "00:04:7d:0e:b8:5c"},    // blanks around, as XML text has
        {"00:04-7d:0e:b8:5c", ""},                   // separators mixed
        {"00:04:7d:0e:b8", ""},                      // five bytes
        {"00047D0EB85C00", ""},                      // seven bytes
        {"0004.7d0e.b85", ""},                       // a short group
        {"00:04:7d:0e:b8:5g", ""},                   // not hexadecimal
        {"0:4:7d:e:b8:5c", ""},                      // one-digit groups
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<MacAddress> mac = MacAddress::Parse(c.text);
        ASSERT_EQ(mac.has_value(), *c.value != 0);
        if (mac) EXPECT_EQ(mac->Text(), c.value);
    }
    EXPECT_TRUE(SameMac("00047D0EB85C", "00:04:7d:0e:b8:5c"));
    EXPECT_FALSE(SameMac("00047D0EB85C", "00:04:7d:0e:b8:5d"));
    EXPECT_FALSE(SameMac("", "")) << "two missing MACs are not the same card";
    EXPECT_EQ(MacText("unknown"), "unknown") << "what is no MAC is shown as it came";
}

// Which card is at an address: the kernel's table first, ARP through the
// helper from the card the answer came in on, and routed when neither can
// see it. Catches an incomplete entry taken as an answer, another card's
// entry, a neighbour-table address believed for a device beyond a router,
// and a connect tried for an address no card's subnet holds.
TEST(LinkLayerAddressTest, NeighbourTableThenArpThenRouted) {
    const std::string table =
        "IP address       HW type     Flags       HW address            Mask     Device\n"
        "10.0.0.20        0x1         0x2         00:04:7d:0e:b8:5c     *        eth0\n"
        "10.0.0.21        0x1         0x0         00:00:00:00:00:00     *        eth0\n"
        "10.0.1.20        0x1         0x2         02:00:00:00:01:20     *        eth1\n";
    EXPECT_EQ(NeighbourEntry(table, Ip("10.0.0.20"))->Text(), "00:04:7d:0e:b8:5c");
    EXPECT_FALSE(NeighbourEntry(table, Ip("10.0.0.21"))) << "incomplete: nothing answered the kernel";
    EXPECT_FALSE(NeighbourEntry(table, Ip("10.0.1.20"), "eth0")) << "another card's entry";
    EXPECT_FALSE(NeighbourEntry(table, Ip("10.0.0.99")));

    FakeHostNetwork net;
    Adapter eth0;
    eth0.index = 2;
    eth0.name = "eth0";
    eth0.up = true;
    eth0.addresses = {{Ip("10.0.0.1"), Ip("255.255.255.0")}};
    net.listing.adapters = {eth0};
    net.arpOwners[Ip("10.0.0.30")] = {2, 0, 0, 0, 0, 0x30};
    net.arpOwners[Ip("192.168.7.5")] = {2, 0, 0, 0, 0, 0x75};
    std::vector<std::string> touched;
    LinkLayerProbe probe;
    probe.neighbours = [&] { return table; };
    probe.touch = [&](const std::string& address, const std::string& port) { touched.push_back(address + ":" + port); };
    const struct {
        const char* address;
        const char* card;
        LinkLayerStatus status;
        const char* mac;
    } cases[] = {
        {"10.0.0.20", "eth0", LinkLayerStatus::Found, "00:04:7d:0e:b8:5c"},     // in the table
        {"10.0.0.30", "eth0", LinkLayerStatus::Found, "02:00:00:00:00:30"},     // by ARP
        {"10.0.0.31", "eth0", LinkLayerStatus::NoAnswer, ""},                   // nobody there
        {"192.168.7.5", "eth0", LinkLayerStatus::Found, "02:00:00:00:00:75"},   // another subnet on the card's link
        {"192.168.7.6", "eth0", LinkLayerStatus::Routed, ""},                   // no ARP answer off the subnet
        {"198.51.100.7", "", LinkLayerStatus::Routed, ""},                      // no card to ask on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        touched.clear();
        const LinkLayerAnswer a = LinkLayerAddressOf(net, c.address, c.card, "8080", probe);
        EXPECT_EQ(a.status, c.status) << a.detail;
        if (a.status == LinkLayerStatus::Found) EXPECT_EQ(a.mac.Text(), c.mac);
        const bool inSubnet = std::string(c.address).rfind("10.0.0.", 0) == 0;
        EXPECT_EQ(touched.size(), inSubnet ? 1u : 0u);
    }
    EXPECT_NE(std::find(net.calls.begin(), net.calls.end(), "arp 192.168.7.5 from 10.0.0.1"), net.calls.end());
}

struct TempDir : ::testing::Test {
    fs::path root;
    void SetUp() override {
        char dir[] = "/tmp/ovh_unitXXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        root = dir;
    }
    void TearDown() override { fs::remove_all(root); }
    void Write(const fs::path& p, const std::string& text) {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text;
    }
};

TEST_F(TempDir, DefaultGatewaysAndNameServers) {
    Write(root / "route",
          "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
          "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"   // default via 192.168.1.1
          "eth0\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n"   // the subnet itself
          "wlan0\t00000000\t00000000\t0001\t0\t0\t600\t00000000\t0\t0\t0\n"  // default without gateway
          "wlan0\t00000000\t0100000A\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"); // default via 10.0.0.1
    const auto gw = ReadDefaultGateways(root / "route");
    ASSERT_EQ(gw.size(), 2u);
    EXPECT_EQ(gw.find("eth0")->second, Ip("192.168.1.1"));
    EXPECT_EQ(gw.find("wlan0")->second, Ip("10.0.0.1"));
    // A VPN's or PPP link's default route has no gateway; it still counts.
    Write(root / "route2",
          "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
          "tun0\t00000000\t00000000\t0001\t0\t0\t50\t00000000\t0\t0\t0\n"
          "eth0\t0001A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\t0\t0\t0\n");
    EXPECT_EQ(ReadDefaultRouteInterfaces(root / "route2"), (std::set<std::string>{"tun0"}));

    // systemd-networkd's verdict, when it runs; "partial" does not decide.
    Write(root / "state", "OPER_STATE=routable\nCARRIER_STATE=carrier\nONLINE_STATE=online\n");
    EXPECT_EQ(ReadNetworkdOnlineState(root / "state"), 1);
    Write(root / "state", "OPER_STATE=off\nONLINE_STATE=offline\n");
    EXPECT_EQ(ReadNetworkdOnlineState(root / "state"), 0);
    Write(root / "state", "ONLINE_STATE=partial\n");
    EXPECT_EQ(ReadNetworkdOnlineState(root / "state"), -1);
    EXPECT_EQ(ReadNetworkdOnlineState(root / "missing"), -1);

    LinuxPaths paths;
    paths.resolvConf = root / "resolv.conf";
    paths.resolvedUpstream = root / "upstream.conf";
    Write(paths.resolvConf, "# generated\nsearch lan\nnameserver fd00::1\nnameserver 192.168.1.53\nnameserver 198.51.100.8\n");
    EXPECT_EQ(ReadNameServers(paths), (std::vector<uint32_t>{Ip("192.168.1.53"), Ip("198.51.100.8")}));
    // The resolver stub is not a server the camera could use.
    Write(paths.resolvConf, "nameserver 127.0.0.53\noptions edns0\n");
    Write(paths.resolvedUpstream, "nameserver 192.168.1.1\n");
    EXPECT_EQ(ReadNameServers(paths), (std::vector<uint32_t>{Ip("192.168.1.1")}));
}

TEST_F(TempDir, DhcpLeasesInClientOrder) {
    LinuxPaths paths;
    paths.nmDevicesDir = root / "nm-run";
    paths.nmLeaseDir = root / "nm-lib";
    paths.networkdLeaseDir = root / "networkd";
    paths.dhclientLeaseDirs = {root / "dhcp"};
    EXPECT_FALSE(FindDhcpLease(paths, 3, "eth0").found);

    // dhclient: the last lease block for the interface is the current one.
    Write(root / "dhcp" / "dhclient.leases",
          "lease {\n  interface \"eth0\";\n  fixed-address 192.168.1.50;\n"
          "  option dhcp-server-identifier 192.168.1.1;\n}\n"
          "lease {\n  interface \"wlan0\";\n  fixed-address 10.0.0.9;\n  option dhcp-server-identifier 10.0.0.1;\n}\n"
          "lease {\n  interface \"eth0\";\n  fixed-address 192.168.1.51;\n"
          "  option dhcp-server-identifier 192.168.1.2;\n}\n");
    DhcpLease lease = FindDhcpLease(paths, 3, "eth0");
    EXPECT_TRUE(lease.found);
    EXPECT_EQ(lease.address, Ip("192.168.1.51"));
    EXPECT_EQ(lease.server, Ip("192.168.1.2"));

    // systemd-networkd comes before dhclient.
    Write(root / "networkd" / "3", "# This is private data.\nADDRESS=192.168.1.60\nSERVER_ADDRESS=192.168.1.3\n");
    lease = FindDhcpLease(paths, 3, "eth0");
    EXPECT_EQ(lease.server, Ip("192.168.1.3"));

    // NetworkManager's internal client comes first; another device's file
    // (a name that merely ends alike) is not ours.
    Write(root / "nm-lib" / "internal-1234-veth0.lease", "ADDRESS=192.168.9.9\nSERVER_ADDRESS=192.168.9.1\n");
    Write(root / "nm-lib" / "internal-5678-eth0.lease", "ADDRESS=192.168.1.70\nSERVER_ADDRESS=192.168.1.4\n");
    lease = FindDhcpLease(paths, 3, "eth0");
    EXPECT_EQ(lease.address, Ip("192.168.1.70"));
    EXPECT_EQ(lease.server, Ip("192.168.1.4"));
}

// An NLMSG_ERROR as the kernel sends it: the echoed request (whole, or only
// its header when capped), then the attributes.
std::vector<uint8_t> ErrorMessage(bool capped, uint32_t echoedPayload, const std::string& text, int lenSlack) {
    std::vector<uint8_t> buf(NLMSG_HDRLEN + sizeof(nlmsgerr) + (capped ? 0 : NLMSG_ALIGN(echoedPayload)));
    nlmsgerr err = {};
    err.error = -EEXIST;
    err.msg.nlmsg_len = NLMSG_HDRLEN + echoedPayload;
    std::memcpy(buf.data() + NLMSG_HDRLEN, &err, sizeof err);
    nlattr attr;
    attr.nla_type = NLMSGERR_ATTR_MSG;
    attr.nla_len = uint16_t(sizeof(nlattr) + text.size() + 1 + lenSlack);
    const std::size_t at = buf.size();
    buf.resize(at + NLA_ALIGN(sizeof(nlattr) + text.size() + 1), 0);
    std::memcpy(buf.data() + at, &attr, sizeof attr);
    std::memcpy(buf.data() + at + sizeof(nlattr), text.data(), text.size());
    nlmsghdr h = {};
    h.nlmsg_len = uint32_t(buf.size());
    h.nlmsg_type = NLMSG_ERROR;
    h.nlmsg_flags = NLM_F_ACK_TLVS | (capped ? NLM_F_CAPPED : 0);
    std::memcpy(buf.data(), &h, sizeof h);
    return buf;
}

TEST(NetlinkTest, ExtendedAckText) {
    struct Row {
        const char* what;
        bool capped;
        int lenSlack;
        const char* expect;
    } rows[] = {
        {"capped echo", true, 0, "ipv4: Address already assigned"},
        // Without the cap the whole request sits in between and must be skipped.
        {"full echo", false, 0, "ipv4: Address already assigned"},
        // An attribute claiming more than the message holds is not read.
        {"overlong attribute", true, 64, ""},
    };
    for (const auto& r : rows) {
        auto buf = ErrorMessage(r.capped, 24, "ipv4: Address already assigned", r.lenSlack);
        EXPECT_EQ(ExtendedAckText(*reinterpret_cast<const nlmsghdr*>(buf.data())), r.expect) << r.what;
    }
}

TEST(AliasMarkTest, AnAddTheKernelDidNotMarkIsNamedWithTheKernelNeeded) {
    // What the dump right after "add 192.168.5.254/24" on card 3 by owner
    // 4242 may show.
    const uint32_t a = Ip("192.168.5.254");
    const std::string dropped =
        "this kernel (Linux 5.10.0-28-amd64) dropped the mark that tells 192.168.5.254/24 from the PC's own "
        "addresses; orvanta-netadmin needs Linux 5.18 or later";
    const std::string gone = "192.168.5.254/24 was gone as soon as it was added";
    const struct {
        const char* what;
        std::vector<AddressRecord> readBack;
        std::string problem;  // "" when the add stands
    } rows[] = {
        {"marked and owned", {{3, a, 24, 0, kAliasProtocol, 4242}}, ""},
        // A kernel before 5.18 takes IFA_PROTO and drops it.
        {"no protocol mark", {{3, a, 24, 0, 0, 4242}}, dropped},
        {"no owner", {{3, a, 24, 0, kAliasProtocol, 0}}, dropped},
        // The same address elsewhere is not the one just added.
        {"only on another card", {{4, a, 24, 0, kAliasProtocol, 4242}}, gone},
        {"gone", {}, gone},
    };
    for (const auto& r : rows)
        EXPECT_EQ(AliasMarkProblem(r.readBack, 3, a, 24, 4242, "5.10.0-28-amd64"), r.problem) << r.what;
}

TEST_F(TempDir, HelperStartsWithAnEmptyEnvironment) {
    // A stand-in helper that answers with the environment it was given.
    const std::string helper = (root / "orvanta-netadmin").string();
    std::ofstream(helper) << "#!/bin/sh\nread line\necho \"err other [$(tr '\\0' ' ' </proc/$$/environ)]\"\n";
    std::filesystem::permissions(helper, std::filesystem::perms::owner_all);
    setenv("ORVANTA_PASSWORD", "secret", 1);
    NetadminClient client(helper, "eth0");
    const NetadminReply reply = client.Call("probe eth0 192.168.5.9 100", 5000);
    unsetenv("ORVANTA_PASSWORD");
    EXPECT_EQ(reply.text, "[]");
}

TEST(LinuxHostNetworkTest, MissingHelperFailsAtOnceWithOneLine) {
    LinuxPaths paths;
    paths.helper = "/nonexistent/orvanta-netadmin";
    LinuxHostNetwork net(paths);
    const uint32_t lo = if_nametoindex("lo");
    // The add's result and the diagnostic lines it gave.
    const auto addAlias = [&net, lo](const char* address, std::string& lines) {
        SetDiagnosticSink([&lines](std::string_view line) { lines += std::string(line) + "\n"; });
        const AliasResult result = net.AddAlias({lo, Ip(address), Ip("255.255.255.0")});
        SetDiagnosticSink({});
        return result;
    };
    std::string err;
    const AliasResult r = addAlias("192.168.2.254", err);
    EXPECT_EQ(r.status, AliasStatus::HelperMissing);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("/nonexistent/orvanta-netadmin"), std::string::npos) << err;

    // A camera's public subnet is refused here with one line, before any
    // helper is started (this one could not be).
    std::string wideErr;
    const AliasResult wide = addAlias("198.51.100.254", wideErr);
    EXPECT_EQ(wide.status, AliasStatus::Refused);
    EXPECT_EQ(std::count(wideErr.begin(), wideErr.end(), '\n'), 1) << wideErr;
    EXPECT_NE(wideErr.find("not a private"), std::string::npos) << wideErr;

    // An interface that does not exist never reaches the helper.
    EXPECT_EQ(net.AddAlias({999999, Ip("192.168.2.254"), Ip("255.255.255.0")}).status, AliasStatus::NoSuchInterface);

    // The PC's own address answers with the PC's MAC without any request.
    EXPECT_EQ(net.SendArp(Ip("127.0.0.1"), Ip("127.0.0.1")).status, ArpStatus::Answered);
}

}  // namespace
}  // namespace orvanta::hostnet

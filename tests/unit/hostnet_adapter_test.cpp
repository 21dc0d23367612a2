// The start-up adapter walk and the address/gateway matching.
#include <gtest/gtest.h>

#include "FakeHostNetwork.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/base/Diagnostics.h"
#include "core/settings/FixedField.h"

namespace orvanta::hostnet {
namespace {

Adapter Make(uint32_t index, AdapterType type, bool up, bool defaultRoute = false, bool virtualLink = false) {
    Adapter a;
    a.index = index;
    a.type = type;
    a.up = up;
    a.defaultRoute = defaultRoute;
    a.virtualLink = virtualLink;
    return a;
}

TEST(FindActiveAdapterTest, Walk) {
    const auto E = AdapterType::Ethernet, W = AdapterType::Wireless, P = AdapterType::Ppp,
               O = AdapterType::Other;
    struct Row {
        const char* what;
        std::vector<Adapter> adapters;
        uint32_t index;
        int found, wireless, dialUp;
    } rows[] = {
        {"only wireless", {Make(4, W, true)}, 4, 1, 1, 0},
        // Wired cards are walked before wireless ones whatever the kernel's
        // order, so the wired card ends the walk.
        {"wireless listed before Ethernet", {Make(4, W, true), Make(2, E, true)}, 2, 1, 0, 0},
        // The walk stops at the first Ethernet adapter.
        {"Ethernet before wireless", {Make(2, E, true), Make(4, W, true)}, 2, 1, 0, 0},
        // A PPP link that is up marks dial-up wherever the kernel lists it,
        // and does not hide the card it dials over (PPPoE).
        {"PPP first", {Make(7, P, true), Make(2, E, true)}, 2, 1, 0, 1},
        {"PPP after the wired card", {Make(2, E, true), Make(7, P, true)}, 2, 1, 0, 1},
        {"wireless then PPP", {Make(4, W, true), Make(7, P, true), Make(2, E, true)}, 2, 1, 0, 1},
        // The default route's card comes first. Wireless there still lets
        // the walk go on: the wired card wins the index, the PC stays
        // "wireless".
        {"default route on the second wired card", {Make(2, E, true), Make(3, E, true, true)}, 3, 1, 0, 0},
        {"default route on wireless, wired card later", {Make(4, W, true, true), Make(2, E, true)}, 2, 1, 1, 0},
        // Bridges, container links, tun/tap are never the PC's card, even
        // with the lower index or the default route.
        {"virtual links skipped", {Make(2, E, true, true, true), Make(5, E, true)}, 5, 1, 0, 0},
        {"only virtual links", {Make(2, E, true, false, true)}, 0, 0, 0, 0},
        // Adapters that are down and other types (loopback) are passed over.
        {"down and other skipped", {Make(1, O, true), Make(2, E, false), Make(3, E, true)}, 3, 1, 0, 0},
        {"nothing up", {Make(2, E, false)}, 0, 0, 0, 0},
    };
    for (const auto& r : rows) {
        FakeHostNetwork net;
        net.listing.adapters = r.adapters;
        CameraSettings s;
        FindActiveAdapter(s, net);
        EXPECT_EQ(s.HostIfIndex, r.index) << r.what;
        EXPECT_EQ(s.HostAdapterFound, r.found) << r.what;
        EXPECT_EQ(s.HostWireless, r.wireless) << r.what;
        EXPECT_EQ(s.HostDialUp, r.dialUp) << r.what;
    }
}

TEST(FindActiveAdapterTest, FailedListingPrintsErrorAndLeavesFlags) {
    FakeHostNetwork net;
    net.listing.ok = false;
    net.listing.error = "Operation not permitted";
    CameraSettings s;
    std::string diag;
    SetDiagnosticSink([&diag](std::string_view line) { diag += std::string(line) + "\n"; });
    FindActiveAdapter(s, net);
    EXPECT_EQ(diag, "\tError: Operation not permitted\n");
    net.listing.noData = true;  // "no data" is silent
    diag.clear();
    FindActiveAdapter(s, net);
    EXPECT_EQ(diag, "");
    SetDiagnosticSink({});
    EXPECT_EQ(s.HostAdapterFound, 0);
}

TEST(ReadAdapterAddressesTest, Matching) {
    const uint32_t m24 = Ip("255.255.255.0");
    struct Row {
        const char* what;
        std::vector<AdapterAddress> addresses;
        std::vector<uint32_t> gateways;
        bool dhcp;
        const char* server;
        const char *ip, *mask, *gateway;
        int hostDhcp, noAddress;
        bool leased = false;  // the address has a lease time (any DHCP client)
    } rows[] = {
        // Two addresses in two subnets, one gateway: the gateway's subnet wins.
        {"two addresses one gateway", {{Ip("10.0.0.5"), Ip("255.0.0.0")}, {Ip("192.168.1.10"), m24}},
         {Ip("192.168.1.1")}, false, "0.0.0.0", "192.168.1.10", "255.255.255.0", "192.168.1.1", 0, 0},
        {"DHCP with server", {{Ip("192.168.1.10"), m24}}, {Ip("192.168.1.1")}, true, "192.168.1.1",
         "192.168.1.10", "255.255.255.0", "192.168.1.1", 1, 0},
        // DHCP without a server counts as no usable address.
        {"DHCP server 0.0.0.0", {{Ip("192.168.1.10"), m24}}, {Ip("192.168.1.1")}, true, "0.0.0.0",
         "192.168.1.10", "255.255.255.0", "192.168.1.1", 0, 1},
        // No default gateway (a LAN without a router): the first address
        // is the PC's, the gateway stays empty.
        {"no gateway fixed", {{Ip("192.168.1.10"), m24}, {Ip("10.0.0.5"), Ip("255.0.0.0")}}, {}, false, "0.0.0.0",
         "192.168.1.10", "255.255.255.0", "", 0, 0},
        {"no gateway DHCP", {{Ip("192.168.1.10"), m24}}, {}, true, "192.168.1.1", "192.168.1.10", "255.255.255.0", "",
         1, 0},
        // DHCP asked for but never answered: no address of its own.
        {"no gateway DHCP unanswered", {{Ip("192.168.1.10"), m24}}, {}, true, "0.0.0.0", "", "", "", 0, 1},
        {"no address at all", {}, {}, false, "0.0.0.0", "", "", "", 0, 1},
        // A leased address counts as DHCP though no lease file names the server.
        {"leased, server unknown", {{Ip("192.168.1.10"), m24}}, {Ip("192.168.1.1")}, true, "0.0.0.0",
         "192.168.1.10", "255.255.255.0", "192.168.1.1", 1, 0, true},
        {"leased, no gateway", {{Ip("192.168.1.10"), m24}}, {}, true, "0.0.0.0", "192.168.1.10", "255.255.255.0", "",
         1, 0, true},
        // A gateway outside every subnet of the adapter is not the PC's.
        {"foreign gateway", {{Ip("192.168.1.10"), m24}}, {Ip("10.0.0.1")}, false, "0.0.0.0", "192.168.1.10",
         "255.255.255.0", "", 0, 0},
        // The second gateway is looked at when the first matches nothing.
        {"second gateway", {{Ip("192.168.1.10"), m24}}, {Ip("10.0.0.1"), Ip("192.168.1.254")}, false,
         "0.0.0.0", "192.168.1.10", "255.255.255.0", "192.168.1.254", 0, 0},
    };
    for (const auto& r : rows) {
        FakeHostNetwork net;
        Adapter a = Make(3, AdapterType::Ethernet, true);
        a.addresses = r.addresses;
        a.gateways = r.gateways;
        a.dhcpEnabled = r.dhcp;
        a.dhcpServer = Ip(r.server);
        a.leased = r.leased;
        a.dnsServers = {Ip("192.168.1.53"), Ip("198.51.100.8")};
        net.listing.adapters = {Make(1, AdapterType::Other, true), a};
        CameraSettings s;
        s.HostIfIndex = 3;
        ReadAdapterAddresses(s, net);
        EXPECT_EQ(FieldText(s.HostIP), r.ip) << r.what;
        EXPECT_EQ(FieldText(s.HostMask), r.mask) << r.what;
        EXPECT_EQ(FieldText(s.HostGateway), r.gateway) << r.what;
        EXPECT_EQ(s.HostDHCP, r.hostDhcp) << r.what;
        EXPECT_EQ(s.HostNoAddress, r.noAddress) << r.what;
        EXPECT_EQ(FieldText(s.HostDNS), "192.168.1.53") << r.what;
    }
}

TEST(ReadAdapterAddressesTest, MissingAdapterOrListingMeansNoAddress) {
    FakeHostNetwork net;
    net.listing.adapters = {Make(3, AdapterType::Ethernet, true)};
    CameraSettings s;
    s.HostIfIndex = 9;
    ReadAdapterAddresses(s, net);
    EXPECT_EQ(s.HostNoAddress, 1);
    CameraSettings t;
    net.listing.ok = false;
    ReadAdapterAddresses(t, net);
    EXPECT_EQ(t.HostNoAddress, 1);
}

TEST(ChooseAdapterTest, TheChosenCardReplacesTheAddressesOfTheOneInUse) {
    FakeHostNetwork net;
    Adapter wifi = Make(4, AdapterType::Wireless, true, true);
    wifi.addresses = {{Ip("10.1.0.7"), Ip("255.255.0.0")}};
    wifi.gateways = {Ip("10.1.0.1")};
    Adapter wired = Make(2, AdapterType::Ethernet, true);
    wired.addresses = {{Ip("192.168.70.10"), Ip("255.255.255.0")}};
    wired.gateways = {Ip("192.168.70.1")};
    Adapter bridge = Make(6, AdapterType::Ethernet, true, false, true);
    net.listing.adapters = {wired, wifi, bridge};
    CameraSettings s;
    s.HostIfIndex = 4;
    s.HostWireless = 1;
    ReadAdapterAddresses(s, net);
    ASSERT_EQ(FieldText(s.HostIP), "10.1.0.7");

    // A bridge is not offered, so it cannot be chosen; nothing changes.
    EXPECT_FALSE(ChooseAdapter(s, net, 6));
    EXPECT_EQ(s.HostIfIndex, 4u);
    EXPECT_EQ(FieldText(s.HostIP), "10.1.0.7");

    EXPECT_TRUE(ChooseAdapter(s, net, 2));
    EXPECT_EQ(s.HostIfIndex, 2u);
    EXPECT_EQ(s.HostWireless, 0);
    EXPECT_EQ(s.HostAdapterFound, 1);
    EXPECT_EQ(FieldText(s.HostIP), "192.168.70.10");
    EXPECT_EQ(FieldText(s.HostGateway), "192.168.70.1");
    EXPECT_EQ(s.HostNoAddress, 0);
}

}  // namespace
}  // namespace orvanta::hostnet

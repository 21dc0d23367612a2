// The start-up adapter walk and the address/gateway matching.
#include <gtest/gtest.h>

#include "FakeHostNetwork.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/output/Diagnostics.h"
#include "core/settings/FixedField.h"

namespace orvanta::hostnet {
namespace {

Adapter Make(uint32_t index, AdapterType type, bool up) {
    Adapter a;
    a.index = index;
    a.type = type;
    a.up = up;
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
        // The wired adapter takes the index, the PC stays "wireless".
        {"wireless before Ethernet", {Make(4, W, true), Make(2, E, true)}, 2, 1, 1, 0},
        // The walk stops at the first Ethernet adapter.
        {"Ethernet before wireless", {Make(2, E, true), Make(4, W, true)}, 2, 1, 0, 0},
        // PPP first stops the walk and leaves the index alone.
        {"PPP first", {Make(7, P, true), Make(2, E, true)}, 0, 0, 0, 1},
        {"wireless then PPP", {Make(4, W, true), Make(7, P, true), Make(2, E, true)}, 4, 1, 1, 1},
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
    } rows[] = {
        // Two addresses in two subnets, one gateway: the gateway's subnet wins.
        {"two addresses one gateway", {{Ip("10.0.0.5"), Ip("255.0.0.0")}, {Ip("192.168.1.10"), m24}},
         {Ip("192.168.1.1")}, false, "0.0.0.0", "192.168.1.10", "255.255.255.0", "192.168.1.1", 0, 0},
        {"DHCP with server", {{Ip("192.168.1.10"), m24}}, {Ip("192.168.1.1")}, true, "192.168.1.1",
         "192.168.1.10", "255.255.255.0", "192.168.1.1", 1, 0},
        // DHCP without a server counts as no usable address.
        {"DHCP server 0.0.0.0", {{Ip("192.168.1.10"), m24}}, {Ip("192.168.1.1")}, true, "0.0.0.0",
         "192.168.1.10", "255.255.255.0", "192.168.1.1", 0, 1},
        // No default gateway: fields stay empty.
        {"no gateway fixed", {{Ip("192.168.1.10"), m24}}, {}, false, "0.0.0.0", "", "", "", 0, 1},
        {"no gateway DHCP", {{Ip("192.168.1.10"), m24}}, {}, true, "192.168.1.1", "", "", "", 1, 0},
        // A gateway outside every subnet of the adapter matches nothing.
        {"foreign gateway", {{Ip("192.168.1.10"), m24}}, {Ip("10.0.0.1")}, false, "0.0.0.0", "", "", "", 0, 1},
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

}  // namespace
}  // namespace orvanta::hostnet

// Which temporary addresses would disturb a network the PC already reaches
// through another card, and where the route through an accepted one leads.
#include <gtest/gtest.h>

#include "core/hostnet/NetworksInUse.h"
#include "core/base/AddressText.h"

namespace orvanta::hostnet {
namespace {

uint32_t Ip(const char* text) {
    uint32_t a = 0;
    ParseIpv4(text, a);
    return a;
}

// The laptop of the report: eth0 (index 2) to the cameras, wlan0 (3) home
// Wi-Fi, tun0 (4) a VPN for 10.20/16, and a static route to a lab /28 on eth0.
const std::vector<NetworkInUse> kLaptop = {
    {2, "eth0", Ip("192.168.1.10"), 24, false},  {2, "eth0", Ip("192.168.1.0"), 24, true},
    {3, "wlan0", Ip("192.168.7.10"), 24, false}, {3, "wlan0", Ip("192.168.7.0"), 24, true},
    {4, "tun0", Ip("10.20.0.0"), 16, true},      {2, "eth0", Ip("172.16.5.16"), 28, true},
};

TEST(NetworksInUseTest, TemporaryAddressConflict) {
    struct Row {
        const char* address;
        int prefix;
        const char* why;  // empty: allowed
    } rows[] = {
        // The fault reported: the router's address on the other card's network.
        {"192.168.7.1", 24, "192.168.7.0/24 is the network of wlan0; reaching a camera there would disturb it"},
        {"192.168.7.254", 30, "192.168.7.0/24 is the network of wlan0; reaching a camera there would disturb it"},
        // A wide subnet holding the other card's network pulls its traffic.
        {"192.168.255.254", 16, "192.168.7.0/24 is the network of wlan0; reaching a camera there would disturb it"},
        {"10.255.255.254", 8, "10.20.0.0/16 is routed through tun0; reaching a camera there would disturb it"},
        {"10.20.3.4", 24, "10.20.0.0/16 is routed through tun0; reaching a camera there would disturb it"},
        // Networks of the card served are its own business (routes, not ARP).
        {"192.168.1.254", 24, ""},
        {"172.16.5.20", 24, ""},
        // Next to the others, not inside them.
        {"192.168.8.254", 24, ""},
        {"10.21.255.254", 16, ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(TemporaryAddressConflict(Ip(r.address), r.prefix, 2, kLaptop), r.why) << r.address << "/" << r.prefix;
    // A default route overlaps everything and must not refuse everything.
    EXPECT_EQ(TemporaryAddressConflict(Ip("192.168.8.254"), 24, 2, {{3, "wlan0", 0, 0, true}}), "");
}

TEST(NetworksInUseTest, TemporaryAddressRoute) {
    struct Row {
        const char *address, *camera;
        int prefix;
        const char* route;  // "" for none
    } rows[] = {
        {"192.168.5.254", "192.168.5.20", 24, "192.168.5.0/24"},  // nobody routes it: the subnet
        {"192.168.1.254", "192.168.1.20", 24, "192.168.1.20/32"}, // equal route exists: the camera alone
        {"172.16.255.254", "172.16.9.9", 16, "172.16.9.9/32"},    // a more specific route inside
        {"192.168.1.254", "0.0.0.0", 24, ""},                     // no camera named: nothing
        {"172.16.5.30", "172.16.5.17", 28, "172.16.5.17/32"},     // a wider route holding the camera is not its own
    };
    for (const auto& r : rows) {
        const auto target = TemporaryAddressRoute(Ip(r.address), r.prefix, Ip(r.camera), kLaptop);
        const std::string got =
            target ? FormatIpv4(target->destination) + "/" + std::to_string(target->prefix) : std::string();
        EXPECT_EQ(got, r.route) << r.address;
    }
    // A camera with a host route of its own keeps it.
    std::vector<NetworkInUse> pinned = kLaptop;
    pinned.push_back({2, "eth0", Ip("192.168.1.20"), 32, true});
    EXPECT_FALSE(TemporaryAddressRoute(Ip("192.168.1.254"), 24, Ip("192.168.1.20"), pinned));
}

}  // namespace
}  // namespace orvanta::hostnet

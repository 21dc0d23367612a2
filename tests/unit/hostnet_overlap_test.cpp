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
    using R = RouteLookup::Result;
    const RouteLookup none{R::NoRoute, 0, 0, false};
    const RouteLookup viaRouter{R::Route, 0, 2, true};        // the default route, router on eth0
    const RouteLookup vpnRule{R::Route, 16, 4, false};       // a policy rule's table, through tun0
    const RouteLookup eth0Subnet{R::Route, 24, 2, false};    // eth0's own connected /24
    const RouteLookup wideOnEth0{R::Route, 8, 2, false};     // an on-link route of eth0 holding the subnet
    const RouteLookup barred{R::Barred, 0, 0, false};        // an unreachable route
    const RouteLookup hostRoute{R::Route, 32, 2, true};      // the camera's own host route via a router
    struct Row {
        const char *address, *camera;
        int prefix;
        RouteLookup subnet, camera_;
        const char* route;  // "" for none
        const char* why;
    } rows[] = {
        {"192.168.5.254", "192.168.5.20", 24, none, none, "192.168.5.0/24", "nothing covers it: the subnet"},
        {"10.255.255.254", "10.0.0.5", 8, viaRouter, viaRouter, "10.0.0.5/32",
         "the default route takes 10/8 to the router: a subnet route would divert 10.200.1.1"},
        {"10.50.3.254", "10.50.3.20", 24, vpnRule, vpnRule, "10.50.3.20/32", "a policy rule's table routes it"},
        {"10.255.255.254", "10.77.0.20", 8, viaRouter, eth0Subnet, "",
         "the camera is in eth0's own subnet: a host route would beat the connected one"},
        {"10.255.255.254", "10.77.0.20", 8, none, eth0Subnet, "", "the same on a PC without a default route"},
        {"10.255.255.254", "10.1.2.3", 8, wideOnEth0, wideOnEth0, "", "an on-link route of the card covers it"},
        {"192.168.9.254", "192.168.9.20", 24, barred, barred, "192.168.9.20/32", "barred: not the subnet"},
        {"192.168.1.254", "192.168.1.20", 24, viaRouter, hostRoute, "", "a camera with a host route keeps it"},
        {"192.168.1.254", "0.0.0.0", 24, viaRouter, none, "", "no camera named: nothing"},
        {"172.16.255.254", "172.16.9.9", 16, none, viaRouter, "172.16.9.9/32",
         "a route of another table inside the subnet (the lab /28): not the subnet"},
        {"10.20.9.254", "10.20.9.9", 24, viaRouter, vpnRule, "10.20.9.9/32", "the VPN's tun0 is not this card"},
    };
    for (const auto& r : rows) {
        const auto target = TemporaryAddressRoute(Ip(r.address), r.prefix, Ip(r.camera), 2, r.subnet, r.camera_, kLaptop);
        const std::string got =
            target ? FormatIpv4(target->destination) + "/" + std::to_string(target->prefix) : std::string();
        EXPECT_EQ(got, r.route) << r.why;
    }
}

}  // namespace
}  // namespace orvanta::hostnet

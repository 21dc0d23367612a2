// Where the Linux host network looks for things. Every path can be pointed
// elsewhere so tests read prepared files instead of the machine's own.
#pragma once

#include <string>
#include <vector>

#include "core/hostnet/PppPeers.h"

namespace orvanta::hostnet {

struct LinuxPaths {
    std::string sysClassNet = "/sys/class/net";
    std::string procNetRoute = "/proc/net/route";
    // The first file with an IPv4 nameserver wins; systemd-resolved's stub
    // (127.0.0.53) is looked through to the servers behind it.
    std::string resolvConf = "/etc/resolv.conf";
    std::string resolvedUpstream = "/run/systemd/resolve/resolv.conf";
    // DHCP leases, asked in this order: NetworkManager, systemd-networkd,
    // dhclient.
    std::string nmDevicesDir = "/run/NetworkManager/devices";
    std::string nmLeaseDir = "/var/lib/NetworkManager";
    std::string networkdLeaseDir = "/run/systemd/netif/leases";
    std::vector<std::string> dhclientLeaseDirs = {"/var/lib/dhcp", "/var/lib/dhclient"};
    PppPaths ppp;
    // The privileged helper; empty: $ORVANTA_NETADMIN, else orvanta-netadmin
    // beside the running program.
    std::string helper;
};

}  // namespace orvanta::hostnet

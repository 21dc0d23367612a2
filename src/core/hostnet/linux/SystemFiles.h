// The plain-text system files the adapter reading takes facts from.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/hostnet/linux/LinuxPaths.h"

namespace orvanta::hostnet {

// Default-route gateways per interface name, from a /proc/net/route table
// (its hexadecimal fields are the raw network-order values).
std::multimap<std::string, uint32_t> ReadDefaultGateways(const std::string& routeFile);

// Names of the interfaces a default route leaves through, gateway or not.
std::set<std::string> ReadDefaultRouteInterfaces(const std::string& routeFile);

// systemd-networkd's ONLINE_STATE from its state file: 1 "online", 0
// "offline", -1 anything else or no file (networkd does not run).
int ReadNetworkdOnlineState(const std::string& stateFile);

// IPv4 name servers in order; systemd-resolved's stub 127.0.0.53 is looked
// through to the upstream servers it forwards to, when that file has any.
std::vector<uint32_t> ReadNameServers(const LinuxPaths& paths);

}  // namespace orvanta::hostnet

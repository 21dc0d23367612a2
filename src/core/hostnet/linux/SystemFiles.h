// The plain-text system files the adapter reading takes facts from.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/hostnet/linux/LinuxPaths.h"

namespace orvanta::hostnet {

// Default-route gateways per interface name, from a /proc/net/route table
// (its hexadecimal fields are the raw network-order values).
std::multimap<std::string, uint32_t> ReadDefaultGateways(const std::string& routeFile);

// IPv4 name servers in order; systemd-resolved's stub 127.0.0.53 is looked
// through to the upstream servers it forwards to, when that file has any.
std::vector<uint32_t> ReadNameServers(const LinuxPaths& paths);

}  // namespace orvanta::hostnet

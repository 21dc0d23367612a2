#include "core/hostnet/linux/SystemFiles.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/base/AddressText.h"

namespace orvanta::hostnet {

namespace {

constexpr unsigned long kRouteGatewayFlag = 0x2;  // RTF_GATEWAY

// Calls `visit(interface, gateway, flags)` for each default route (destination
// and mask 0.0.0.0) of a /proc/net/route style file; the gateway as stored.
template <typename Visit>
void ForEachDefaultRoute(const std::string& routeFile, Visit visit) {
    std::ifstream in(routeFile);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string iface, dest, gw, flags, refcnt, use, metric, mask;
        if (!(f >> iface >> dest >> gw >> flags >> refcnt >> use >> metric >> mask)) continue;
        if (std::strtoul(dest.c_str(), nullptr, 16) != 0 || std::strtoul(mask.c_str(), nullptr, 16) != 0) continue;
        visit(iface, uint32_t(std::strtoul(gw.c_str(), nullptr, 16)), std::strtoul(flags.c_str(), nullptr, 16));
    }
}

std::vector<uint32_t> NameServersIn(const std::string& path) {
    std::vector<uint32_t> servers;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string key, value;
        uint32_t a;
        if (f >> key >> value && key == "nameserver" && ParseIpv4(value, a)) servers.push_back(a);
    }
    return servers;
}

}  // namespace

std::multimap<std::string, uint32_t> ReadDefaultGateways(const std::string& routeFile) {
    std::multimap<std::string, uint32_t> result;
    ForEachDefaultRoute(routeFile, [&result](const std::string& iface, uint32_t gateway, unsigned long flags) {
        if ((flags & kRouteGatewayFlag) && gateway != 0) result.emplace(iface, gateway);
    });
    return result;
}

std::set<std::string> ReadDefaultRouteInterfaces(const std::string& routeFile) {
    std::set<std::string> result;
    ForEachDefaultRoute(routeFile, [&result](const std::string& iface, uint32_t, unsigned long) { result.insert(iface); });
    return result;
}

int ReadNetworkdOnlineState(const std::string& stateFile) {
    std::ifstream in(stateFile);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("ONLINE_STATE=", 0) != 0) continue;
        const std::string value = line.substr(13);
        if (value == "online") return 1;
        if (value == "offline") return 0;
        return -1;  // "partial": some links up, the Internet not known
    }
    return -1;
}

std::vector<uint32_t> ReadNameServers(const LinuxPaths& paths) {
    std::vector<uint32_t> servers = NameServersIn(paths.resolvConf);
    uint32_t stub;
    ParseIpv4("127.0.0.53", stub);
    if (!servers.empty() && servers.front() == stub) {
        const auto upstream = NameServersIn(paths.resolvedUpstream);
        if (!upstream.empty()) return upstream;
    }
    return servers;
}

}  // namespace orvanta::hostnet

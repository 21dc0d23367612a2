#include "core/hostnet/linux/DhcpLeases.h"

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/base/AddressText.h"

namespace orvanta::hostnet {

namespace {

std::string Trim(std::string s) {
    const auto first = s.find_first_not_of(" \t\r\"");
    const auto last = s.find_last_not_of(" \t\r\";");
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

// KEY=VALUE files (systemd-networkd's leases and NetworkManager's internal
// client's). `serverKeys`/`addressKeys` name the keys to take.
DhcpLease ReadKeyValue(const std::string& path, std::initializer_list<const char*> serverKeys,
                       std::initializer_list<const char*> addressKeys) {
    DhcpLease lease;
    std::ifstream in(path);
    if (!in) return lease;
    lease.found = true;
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
        for (const char* k : serverKeys)
            if (key == k) ParseIpv4(value, lease.server);
        for (const char* k : addressKeys)
            if (key == k) ParseIpv4(value, lease.address);
    }
    return lease;
}

std::vector<std::string> Files(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// dhclient's lease file: the last "lease { ... }" block for the interface
// is the current one.
DhcpLease ReadDhclient(const std::string& path, const std::string& ifname) {
    DhcpLease result;
    std::ifstream in(path);
    if (!in) return result;
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    std::size_t pos = 0;
    while ((pos = all.find("lease {", pos)) != std::string::npos) {
        const std::size_t end = all.find('}', pos);
        const std::string block = all.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? all.size() : end;
        DhcpLease lease;
        std::string iface;
        std::istringstream lines(block);
        std::string line;
        while (std::getline(lines, line)) {
            std::istringstream words(line);
            std::string w1, w2, w3;
            words >> w1 >> w2 >> w3;
            if (w1 == "interface") iface = Trim(w2);
            if (w1 == "fixed-address") ParseIpv4(Trim(w2), lease.address);
            if (w1 == "option" && w2 == "dhcp-server-identifier") ParseIpv4(Trim(w3), lease.server);
        }
        if (iface == ifname) {
            lease.found = true;
            result = lease;
        }
    }
    return result;
}

}  // namespace

DhcpLease FindDhcpLease(const LinuxPaths& paths, uint32_t ifIndex, const std::string& ifname) {
    const std::string index = std::to_string(ifIndex);
    // NetworkManager: its per-device state names the server of a running
    // DHCP client; its internal client's lease file ends in "-<ifname>.lease".
    DhcpLease nm = ReadKeyValue(paths.nmDevicesDir + "/" + index, {"dhcp_server_identifier", "server_identifier"},
                                {"ip_address"});
    if (nm.found && nm.server != 0) return nm;
    for (const auto& name : Files(paths.nmLeaseDir)) {
        if (!name.ends_with("-" + ifname + ".lease")) continue;
        const std::string path = paths.nmLeaseDir + "/" + name;
        DhcpLease lease = name.starts_with("dhclient")
                              ? ReadDhclient(path, ifname)
                              : ReadKeyValue(path, {"SERVER_ADDRESS"}, {"ADDRESS"});
        if (name.starts_with("dhclient") && !lease.found) {
            // NetworkManager's dhclient files may omit the interface line.
            lease = ReadDhclient(path, "");
        }
        if (lease.found) return lease;
    }
    DhcpLease networkd = ReadKeyValue(paths.networkdLeaseDir + "/" + index, {"SERVER_ADDRESS"}, {"ADDRESS"});
    if (networkd.found) return networkd;
    for (const auto& dir : paths.dhclientLeaseDirs)
        for (const auto& name : Files(dir)) {
            if (name.find("dhclient") == std::string::npos) continue;
            DhcpLease lease = ReadDhclient(dir + "/" + name, ifname);
            if (lease.found) return lease;
        }
    return {};
}

}  // namespace orvanta::hostnet

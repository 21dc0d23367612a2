#include "CameraStore.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orvanta::camsim {

namespace {

// A plausible camera out of the box: fixed wired address, wireless present.
const std::map<std::string, std::string>& Defaults() {
    static const std::map<std::string, std::string> d = {
        {"IPType", "1"}, {"IPAddr", "192.168.1.100"}, {"Netmask", "255.255.255.0"}, {"Gateway", "192.168.1.1"},
        {"DNS1", "192.168.1.1"}, {"DNS2", ""}, {"WIPType", "0"}, {"WIPAddr", ""}, {"WNetmask", ""},
        {"WGateway", ""}, {"WDNS1", ""}, {"WDNS2", ""}, {"Wireless", "1"}, {"WireType", "1"}, {"WireSec", "0"},
        {"SSID", ""}, {"WireCh", "6"}, {"ChType", "0"}, {"TxRate", "auto"}, {"WEPAuthM", "0"}, {"WepKeyL", "64"},
        {"WEPMode", "0"}, {"WEPKey0", ""}, {"WEPKey1", ""}, {"WEPKey2", ""}, {"WEPKey3", ""}, {"WEPKeyE0", "0"},
        {"WPAKey", ""}, {"WPAEnc", "0"}, {"WPAPSKeyM", "0"}, {"UPnPE", "1"}, {"HttpPort", "80"},
        {"RTPPort", "5000"}, {"RTSPPort", "554"}, {"PAccount", ""}, {"PPwd", ""}, {"PVP", ""},
        {"TitleBar", "Camera"}, {"Desp", "Front door"}, {"SECUEN", "0"}, {"ModelName", "OV-100W"},
        {"DDNSSrv", ""}, {"DDNS", "0"}, {"DDNSUser", ""}, {"DDNSPwd", ""}, {"DDNSHost", ""}, {"NTPEN", "1"},
        {"NTPName", "pool.ntp.example"}, {"NTPPoll", "24"}, {"Timezone", "0"}, {"Date", "2026/01/01"},
        {"Time", "12:00:00"}, {"Version", "1.0.7"}, {"HasWireless", "1"}, {"HasWPS", "1"}, {"Transversal", "0"},
        {"NATStat", "1"}, {"ExtIPAddr", "203.0.113.10"}, {"ExtHttpPort", "8080"}, {"SerialNo", "OV0000000001"},
        {"MAC", "00:11:22:33:44:55"},
    };
    return d;
}

}  // namespace

bool CameraStore::Open(const std::string& path, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    path_ = path;
    values_ = Defaults();
    if (path_.empty()) return true;
    std::ifstream in(path_);
    if (in) {
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;
            const auto eq = line.find('=');
            if (eq == std::string::npos) continue;
            values_[line.substr(0, eq)] = line.substr(eq + 1);
        }
    } else if (access(path_.c_str(), F_OK) == 0) {
        error = "cannot read " + path_;
        return false;
    }
    if (!SaveLocked()) {
        error = "cannot write " + path_;
        return false;
    }
    return true;
}

std::string CameraStore::Get(const std::string& key) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = values_.find(key);
    return it == values_.end() ? "" : it->second;
}

long CameraStore::GetInt(const std::string& key, long fallback) const {
    const std::string v = Get(key);
    char* end = nullptr;
    const long n = std::strtol(v.c_str(), &end, 10);
    return v.empty() || *end != '\0' ? fallback : n;
}

bool CameraStore::Update(const std::map<std::string, std::string>& values) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [k, v] : values) values_[k] = v;
    return SaveLocked();
}

bool CameraStore::SaveLocked() {
    if (path_.empty()) return true;
    const std::string tmp = path_ + ".tmp";
    {
        std::ofstream out(tmp, std::ios::trunc);
        if (!out) return false;
        for (const auto& [k, v] : values_) {
            // A value may not break its line: line ends from a write are dropped.
            std::string clean;
            for (char c : v)
                if (c != '\n' && c != '\r') clean += c;
            out << k << '=' << clean << '\n';
        }
        out.flush();
        if (!out) return false;
    }
    return std::rename(tmp.c_str(), path_.c_str()) == 0;
}

}  // namespace orvanta::camsim

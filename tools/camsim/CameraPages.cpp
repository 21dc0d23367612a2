#include "CameraPages.h"

#include <sstream>

#include "HttpServerUtil.h"

namespace orvanta::camsim {

namespace {

const std::vector<std::string> kSysinfoKeys = {"TitleBar", "Desp", "SECUEN", "ModelName"};
const std::vector<std::string> kSysinfoWritable = {"TitleBar", "Desp"};
const std::vector<std::string> kNetworkKeys = {
    "IPType", "IPAddr", "Netmask", "Gateway", "DNS1", "DNS2", "WIPType", "WIPAddr", "WNetmask", "WGateway",
    "WDNS1", "WDNS2", "Wireless", "WireType", "WireSec", "SSID", "WireCh", "ChType", "TxRate", "WEPAuthM",
    "WepKeyL", "WEPMode", "WEPKey0", "WEPKey1", "WEPKey2", "WEPKey3", "WEPKeyE0", "WPAKey", "WPAEnc",
    "WPAPSKeyM", "UPnPE", "HttpPort", "RTPPort", "RTSPPort"};
const std::vector<std::string> kNetworkWritable = {
    "IPType", "IPAddr", "Netmask", "Gateway", "DNS1", "DNS2", "WIPType", "WIPAddr", "WNetmask", "WGateway",
    "WDNS1", "WDNS2", "WireType", "WireSec", "SSID", "WireCh", "WEPAuthM", "WEPMode", "WEPKey0", "WEPKey1",
    "WEPKey2", "WEPKey3", "WEPKeyE0", "WPAKey", "WPAEnc", "WPAPSKeyM", "TxRate", "WepKeyL", "UPnPE",
    "PAccount", "PPwd", "PVP", "HttpPort", "RTPPort", "RTSPPort"};
const std::vector<std::string> kDdnsKeys = {"DDNSSrv", "DDNS", "DDNSUser", "DDNSPwd", "DDNSHost"};
const std::vector<std::string> kTimeKeys = {"NTPEN", "NTPName", "NTPPoll", "Timezone", "Date", "Time"};

}  // namespace

bool ParseAccessPoint(const std::string& text, AccessPoint& ap) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) parts.push_back(part);
    if (parts.size() < 6) return false;
    ap = AccessPoint{parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts.size() > 6 ? parts[6] : "TKIP"};
    return true;
}

CameraPages::CameraPages(CameraStore& store, std::vector<AccessPoint> accessPoints, int wpsAfterQueries)
    : store_(store), aps_(std::move(accessPoints)), wpsAfter_(wpsAfterQueries) {}

std::string CameraPages::Lines(const std::vector<std::string>& keys) const {
    std::string out;
    for (const auto& k : keys) out += k + "=" + store_.Get(k) + "\r\n";
    return out;
}

std::string CameraPages::ScanReply() const {
    std::string out = "<html><body><table>\n<tr><td>scan AP sum = " + std::to_string(aps_.size()) + "</td></tr>\n";
    int n = 1;
    for (const auto& ap : aps_) {
        out += "<tr><td>AP" + std::to_string(n++) + " Channel=" + ap.channel + " Mac_address=" + ap.mac + " SSID=\"" +
               ap.ssid + "\" Quality=" + ap.quality + " Mode=" + ap.mode + " Security=" + ap.security +
               " Algorithm=" + ap.algorithm + "</td></tr>\n";
    }
    return out + "</table></body></html>\n";
}

CameraPages::Reply CameraPages::Write(const std::map<std::string, std::string>& query,
                                      const std::vector<std::string>& allowed, bool network) {
    std::map<std::string, std::string> changes;
    for (const auto& k : allowed) {
        const auto it = query.find(k);
        if (it != query.end()) changes[k] = it->second;
    }
    const std::string oldAddress = store_.Get("IPAddr");
    const std::string oldNetmask = store_.Get("Netmask");
    if (!store_.Update(changes)) return Reply{200, "402 Failure\r\n"};
    // A fixed wired address that changed moves the camera (after the reply).
    if (network && readdress_ && store_.Get("IPType") == "1" && store_.Get("IPAddr") != oldAddress)
        readdress_(oldAddress, oldNetmask, store_.Get("IPAddr"), store_.Get("Netmask"));
    return Reply{200, "OK\r\n"};
}

CameraPages::Reply CameraPages::Handle(const std::string& target, bool omitWpaKeyMode) {
    const auto qmark = target.find('?');
    const std::string path = target.substr(0, qmark);
    const auto query = ParseQuery(qmark == std::string::npos ? "" : target.substr(qmark + 1));
    auto get = [&](const char* k) {
        const auto it = query.find(k);
        return it == query.end() ? std::string() : it->second;
    };
    const std::string act = get("Act");
    const std::string page = get("Page");

    if (path == "/cgi-bin/config_sysinfo.cgi" && page == "1") {
        if (act == "1") return Reply{200, Lines(kSysinfoKeys)};
        if (act == "2") return Write(query, kSysinfoWritable, false);
    }
    if (path == "/cgi-bin/config_network.cgi" && page == "3") {
        if (act == "1") {
            std::string body = Lines(kNetworkKeys);
            if (omitWpaKeyMode) {
                const auto at = body.find("WPAPSKeyM=");
                body.erase(at, body.find("\r\n", at) + 2 - at);
            }
            return Reply{200, body};
        }
        if (act == "2") return Write(query, kNetworkWritable, true);
        if (act == "3") {
            std::lock_guard<std::mutex> lock(wpsMutex_);
            int state = 0, ack = 0;
            if (wpsStarted_) {
                ++wpsQueries_;
                if (wpsAfter_ >= 0 && wpsQueries_ >= wpsAfter_) ack = 1;
                else if (wpsAfter_ >= 0) state = 1;
            }
            return Reply{200, "WPS=" + std::to_string(state) + "\r\nWPS_ACK=" + std::to_string(ack) + "\r\n"};
        }
    }
    if (path == "/cgi-bin/config_ddns.cgi" && page == "13") {
        if (act == "1") return Reply{200, Lines(kDdnsKeys)};
        if (act == "2") return Write(query, kDdnsKeys, false);
    }
    if (path == "/cgi-bin/config_time.cgi") {
        if (act == "1") return Reply{200, Lines(kTimeKeys)};
        if (act == "2") return Write(query, kTimeKeys, false);
    }
    if (path == "/goform/Parameters" && act == "1") {
        if (page == "23") return Reply{200, Lines({"Version"})};
        if (page == "32")
            return Reply{200, "Wireless=" + store_.Get("HasWireless") + "\r\nWPS=" + store_.Get("HasWPS") +
                                  "\r\nTransversal=" + store_.Get("Transversal") + "\r\n"};
        if (page == "34") return Reply{200, Lines({"NATStat", "ExtIPAddr", "ExtHttpPort"})};
    }
    if (path == "/cgi-bin/ap_scan.cgi") return Reply{200, ScanReply()};
    if (path == "/cgi-bin/wps.cgi") {
        std::lock_guard<std::mutex> lock(wpsMutex_);
        wpsStarted_ = true;
        wpsQueries_ = 0;
        return Reply{200, "OK\r\n"};
    }
    return Reply{404, ""};
}

}  // namespace orvanta::camsim

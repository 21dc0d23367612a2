#include "core/camera/CameraRequest.h"

#include <cstdio>
#include <string>

#include "core/camera/Base64.h"
#include "core/camera/QueryEscape.h"
#include "core/output/Diagnostics.h"
#include "core/settings/FixedField.h"

namespace orvanta {

namespace {

constexpr const char* kUserAgent = "User-Agent: flash-1.0.1\r\n";

bool Refuse(const char* what, std::size_t length, std::size_t capacity) {
    Diagnostic("%s of %zu bytes exceeds its %zu-byte buffer, request not sent", what, length, capacity);
    return false;
}

bool Fits(const std::string& text, const char* what, std::size_t capacity) {
    return text.size() <= capacity || Refuse(what, text.size(), capacity);
}

// "&Key=value" with the value escaped.
void AddText(std::string& q, const char* key, std::string_view value) {
    q += '&';
    q += key;
    q += '=';
    q += EscapeQueryValue(value);
}

void AddNumber(std::string& q, const char* key, long value) {
    q += '&';
    q += key;
    q += '=';
    q += std::to_string(value);
}

void AddNetworkHead(std::string& q, const CameraSettings& s, bool wirelessLink) {
    AddNumber(q, "IPType", wirelessLink ? 3 : s.IPType);
    AddText(q, "IPAddr", FieldText(s.IPAddr));
    AddText(q, "Netmask", FieldText(s.Netmask));
    AddText(q, "Gateway", FieldText(s.Gateway));
    AddText(q, "DNS1", FieldText(s.DNS1));
    AddText(q, "DNS2", FieldText(s.DNS2));
}

void AddNetworkTail(std::string& q, const CameraSettings& s) {
    AddNumber(q, "UPnPE", s.UPnPE);
    AddText(q, "PAccount", FieldText(s.PAccount));
    AddText(q, "PPwd", FieldText(s.PPwd));
    AddText(q, "PVP", FieldText(s.PVP));
    AddNumber(q, "HttpPort", s.HttpPort);
    AddNumber(q, "RTPPort", s.RTPPort);
    AddNumber(q, "RTSPPort", s.RTSPPort);
}

void AddNetworkFull(std::string& q, const CameraSettings& s) {
    AddNetworkHead(q, s, s.LinkWireless == 1);
    AddNumber(q, "WIPType", s.WIPType);
    AddText(q, "WIPAddr", FieldText(s.WIPAddr));
    AddText(q, "WNetmask", FieldText(s.WNetmask));
    AddText(q, "WGateway", FieldText(s.WGateway));
    AddText(q, "WDNS1", FieldText(s.WDNS1));
    AddText(q, "WDNS2", FieldText(s.WDNS2));
    AddNumber(q, "WireType", s.WireType);
    AddNumber(q, "WireSec", s.WireSec);
    AddText(q, "SSID", FieldText(s.SSID));
    AddNumber(q, "WireCh", s.WireCh);
    AddNumber(q, "WEPAuthM", s.WEPAuthM);
    AddNumber(q, "WEPMode", s.WEPMode);
    AddText(q, "WEPKey0", FieldText(s.WEPKey0));
    AddText(q, "WEPKey1", FieldText(s.WEPKey1));
    AddText(q, "WEPKey2", FieldText(s.WEPKey2));
    AddText(q, "WEPKey3", FieldText(s.WEPKey3));
    AddNumber(q, "WEPKeyE0", s.WEPKeyE0);
    AddText(q, "WPAKey", FieldText(s.WPAKey));
    AddNumber(q, "WPAEnc", s.WPAEnc);
    AddNumber(q, "WPAPSKeyM", s.WPAPSKeyM);
    AddText(q, "TxRate", FieldText(s.TxRate));
    AddNumber(q, "WepKeyL", s.WepKeyL);
    AddNetworkTail(q, s);
}

// The CGI path that serves a group, or null for a group that has none.
const char* GroupPath(int group) {
    switch (group) {
        case kPageSysinfo: return "/cgi-bin/config_sysinfo.cgi";
        case kPageNetwork:
        case kSelectorNetworkShort: return "/cgi-bin/config_network.cgi";
        case kPageDdns: return "/cgi-bin/config_ddns.cgi";
        case kSelectorTime: return "/cgi-bin/config_time.cgi";
        case kPageVersion:
        case kPageCapabilities:
        case kPageNatStatus: return "/goform/Parameters";
        default: return nullptr;
    }
}

bool Envelope(const CameraSettings& s, const std::string& line, bool trailingSpace, std::size_t capacity,
              std::string& request) {
    std::string auth;
    if (!BuildAuthorizationLine(s, auth)) return false;
    std::string text = line + " HTTP/1.0\r\n" + kUserAgent + auth;
    if (trailingSpace) text += ' ';
    if (!Fits(text, "request", capacity)) return false;
    request = std::move(text);
    return true;
}

}  // namespace

bool BuildAuthorizationLine(const CameraSettings& settings, std::string& line) {
    const std::string credentials =
        std::string(FieldText(settings.User)) + ":" + std::string(FieldText(settings.Password));
    if (!Fits(credentials, "credentials", kHeaderCapacity)) return false;
    char encoded[kHeaderCapacity + 1] = {};
    // Base64 grows the text by a third; refuse rather than send a cut login.
    if ((credentials.size() + 2) / 3 * 4 > kHeaderCapacity)
        return Refuse("encoded credentials", (credentials.size() + 2) / 3 * 4, kHeaderCapacity);
    Base64Encode(encoded, credentials, sizeof encoded);
    std::string text = std::string("Authorization: Basic ") + encoded + "\r\n\r\n";
    if (!Fits(text, "authorization line", kHeaderCapacity)) return false;
    line = std::move(text);
    return true;
}

bool BuildWriteQuery(const CameraSettings& s, int group, std::string& query) {
    std::string q;
    switch (group) {
        case kPageSysinfo:
            AddText(q, "TitleBar", FieldText(s.TitleBar));
            AddText(q, "Desp", FieldText(s.Desp));
            break;
        case kSelectorTime:
            AddNumber(q, "NTPEN", s.NTPEN);
            AddText(q, "NTPName", FieldText(s.NTPName));
            AddNumber(q, "NTPPoll", s.NTPPoll);
            AddNumber(q, "Timezone", s.Timezone);
            AddText(q, "Date", FieldText(s.Date));
            AddText(q, "Time", FieldText(s.Time));
            break;
        case kPageDdns:
            AddText(q, "DDNSSrv", FieldText(s.DDNSSrv));
            AddNumber(q, "DDNS", s.DDNS);
            AddText(q, "DDNSUser", FieldText(s.DDNSUser));
            AddText(q, "DDNSPwd", FieldText(s.DDNSPwd));
            AddText(q, "DDNSHost", FieldText(s.DDNSHost));
            break;
        case kPageNetwork:
            AddNetworkFull(q, s);
            break;
        case kSelectorNetworkShort:
            AddNetworkHead(q, s, false);
            AddNetworkTail(q, s);
            break;
        default:
            Diagnostic("no write request for group %d", group);
            return false;
    }
    if (!Fits(q, "query", kQueryCapacity)) return false;
    query = std::move(q);
    return true;
}

bool BuildParameterRequest(const CameraSettings& s, int act, int group, std::string& request) {
    const char* path = GroupPath(group);
    if (path == nullptr || (act != kActRead && act != kActWrite)) return false;
    // Only the writable groups have a write form; the short network form is write-only.
    std::string query;
    if (act == kActWrite) {
        if (!BuildWriteQuery(s, group, query)) return false;
    } else if (group == kSelectorNetworkShort) {
        return false;
    }
    std::string line = std::string("GET ") + path + "?Act=" + std::to_string(act);
    if (group != kSelectorTime) {
        const int page = group == kSelectorNetworkShort ? kPageNetwork : group;
        line += "&Page=" + std::to_string(page);
    }
    line += query;
    return Envelope(s, line, false, kRequestCapacity, request);
}

bool BuildSysinfoAuthRequest(const CameraSettings& s, std::string& request) {
    return Envelope(s, "GET /cgi-bin/config_sysinfo.cgi?Act=1&Page=1", false, kSmallRequestCapacity, request);
}

bool BuildScanRequest(const CameraSettings& s, std::string& request) {
    return Envelope(s, "GET /cgi-bin/ap_scan.cgi", true, kRequestCapacity, request);
}

bool BuildWpsStartRequest(const CameraSettings& s, std::string& request) {
    return Envelope(s, "GET /cgi-bin/wps.cgi", true, kSmallRequestCapacity, request);
}

bool BuildWpsStatusRequest(const CameraSettings& s, std::string& request) {
    return Envelope(s, "GET /cgi-bin/config_network.cgi?Act=3&Page=3&WPS&WPS_ACK", false, kSmallRequestCapacity,
                    request);
}

HttpResult CheckReply(std::string_view reply, bool checkUnauthorized, bool requireWpaKeyMode) {
    // The reply is C text to the camera: what follows a stray NUL is not part of it.
    reply = reply.substr(0, reply.find('\0'));
    if (reply.find("HTTP/1.0 404 Not Found") != std::string_view::npos) return kHttpNotFound10;
    if (reply.find("404 Not Found") != std::string_view::npos) return kHttpNotFound;
    if (reply.find("402 Failure") != std::string_view::npos) return kHttpFailure;
    if (checkUnauthorized && reply.find("Unauthorized") != std::string_view::npos) return kHttpUnauthorized;
    if (requireWpaKeyMode && reply.find("WPAPSKeyM=") == std::string_view::npos) return kHttpNoWpaKeyMode;
    return 0;
}

}  // namespace orvanta

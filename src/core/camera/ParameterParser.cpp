#include "core/camera/ParameterParser.h"

#include <climits>
#include <cstdint>

#include "core/camera/CameraRequest.h"
#include "core/settings/FixedField.h"

namespace orvanta {

namespace {

bool IsKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool EndsValueNow(std::string_view reply, std::size_t at) {
    return at >= reply.size() || reply[at] == '\r' || reply[at] == '\n';
}

// The camera's text ends at its first NUL, as it would for C string code.
std::string_view AsText(std::string_view reply) { return reply.substr(0, reply.find('\0')); }

// Signed decimal at `at`, blanks first; saturates instead of overflowing.
bool ParseNumber(std::string_view text, std::size_t at, int32_t& value) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    if (at >= text.size() || text[at] < '0' || text[at] > '9') return false;
    int64_t v = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (v <= INT64_C(1) << 32) v = v * 10 + (text[at] - '0');
    }
    if (negative) v = -v;
    value = static_cast<int32_t>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
    return true;
}

bool ExtractNumber(int32_t& value, std::string_view key, std::string_view reply) {
    reply = AsText(reply);
    const std::size_t at = FindKey(reply, key);
    if (at == std::string_view::npos || EndsValueNow(reply, at)) return false;
    return ParseNumber(reply, at, value);
}

}  // namespace

std::size_t FindKey(std::string_view reply, std::string_view key) {
    if (key.empty()) return std::string_view::npos;
    std::size_t from = 0;
    while (true) {
        const std::size_t pos = reply.find(key, from);
        if (pos == std::string_view::npos) return pos;
        if (pos == 0 || !IsKeyChar(reply[pos - 1])) return pos + key.size();
        from = pos + 1;
    }
}

bool ExtractValue(uint8_t& field, std::string_view key, std::string_view reply) {
    int32_t v = 0;
    if (!ExtractNumber(v, key, reply)) return false;
    field = static_cast<uint8_t>(static_cast<uint32_t>(v) & 0xFF);
    return true;
}

bool ExtractValue(int32_t& field, std::string_view key, std::string_view reply) {
    return ExtractNumber(field, key, reply);
}

bool ExtractValue(uint32_t& field, std::string_view key, std::string_view reply) {
    int32_t v = 0;
    if (!ExtractNumber(v, key, reply)) return false;
    field = static_cast<uint32_t>(v);
    return true;
}

bool ExtractValue(char* field, std::size_t width, std::string_view key, std::string_view reply) {
    reply = AsText(reply);
    const std::size_t at = FindKey(reply, key);
    if (at == std::string_view::npos || EndsValueNow(reply, at)) return false;
    std::size_t end = at;
    while (end < reply.size() && reply[end] != '\r' && reply[end] != '\n') ++end;
    CopyToField(field, width, reply.substr(at, end - at));
    return true;
}

void ParseParameters(CameraSettings& s, std::string_view reply, int group) {
    // Text fields are emptied first: a key the camera left out reads as empty.
    auto text = [&](auto& field, const char* key) {
        field[0] = '\0';
        ExtractValue(field, key, reply);
    };
    auto number = [&](auto& field, const char* key) { ExtractValue(field, key, reply); };
    switch (group) {
        case kSelectorTime:
            number(s.NTPEN, "NTPEN=");
            text(s.NTPName, "NTPName=");
            number(s.NTPPoll, "NTPPoll=");
            number(s.Timezone, "Timezone=");
            text(s.Date, "Date=");
            text(s.Time, "Time=");
            break;
        case kPageSysinfo:
            text(s.TitleBar, "TitleBar=");
            text(s.Desp, "Desp=");
            number(s.SECUEN, "SECUEN=");
            text(s.ModelName, "ModelName=");
            break;
        case kPageNetwork:
            number(s.IPType, "IPType=");
            text(s.IPAddr, "IPAddr=");
            text(s.Netmask, "Netmask=");
            text(s.Gateway, "Gateway=");
            text(s.DNS1, "DNS1=");
            text(s.DNS2, "DNS2=");
            number(s.WIPType, "WIPType=");
            text(s.WIPAddr, "WIPAddr=");
            text(s.WNetmask, "WNetmask=");
            text(s.WGateway, "WGateway=");
            text(s.WDNS1, "WDNS1=");
            text(s.WDNS2, "WDNS2=");
            number(s.Wireless, "Wireless=");
            number(s.WireType, "WireType=");
            number(s.WireSec, "WireSec=");
            text(s.SSID, "SSID=");
            number(s.WireCh, "WireCh=");
            number(s.ChType, "ChType=");
            text(s.TxRate, "TxRate=");
            number(s.WEPAuthM, "WEPAuthM=");
            number(s.WepKeyL, "WepKeyL=");
            number(s.WEPMode, "WEPMode=");
            text(s.WEPKey0, "WEPKey0=");
            text(s.WEPKey1, "WEPKey1=");
            text(s.WEPKey2, "WEPKey2=");
            text(s.WEPKey3, "WEPKey3=");
            number(s.WEPKeyE0, "WEPKeyE0=");
            text(s.WPAKey, "WPAKey=");
            number(s.WPAEnc, "WPAEnc=");
            number(s.WPAPSKeyM, "WPAPSKeyM=");
            number(s.UPnPE, "UPnPE=");
            number(s.HttpPort, "HttpPort=");
            number(s.RTPPort, "RTPPort=");
            number(s.RTSPPort, "RTSPPort=");
            break;
        case kPageDdns:
            text(s.DDNSSrv, "DDNSSrv=");
            number(s.DDNS, "DDNS=");
            text(s.DDNSUser, "DDNSUser=");
            text(s.DDNSPwd, "DDNSPwd=");
            text(s.DDNSHost, "DDNSHost=");
            break;
        case kPageVersion:
            text(s.Version, "Version=");
            break;
        case kPageCapabilities:
            number(s.HasWireless, "Wireless=");
            number(s.HasWPS, "WPS=");
            number(s.Transversal, "Transversal=");
            break;
        case kPageNatStatus:
            number(s.NATStat, "NATStat=");
            text(s.ExtIPAddr, "ExtIPAddr=");
            number(s.ExtHttpPort, "ExtHttpPort=");
            break;
        default:
            break;
    }
}

}  // namespace orvanta

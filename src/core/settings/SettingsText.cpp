#include "core/settings/SettingsText.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvanta {

namespace {

enum class Kind { U8, U32, I32, Text, Mac, Ipv4 };

struct Field {
    const char* name;
    Kind kind;
    std::size_t offset;
    std::size_t size;
};

#define OV_FIELD(name, kind) {#name, Kind::kind, offsetof(CameraSettings, name), sizeof(CameraSettings::name)}

// Record order, so a dump reads like the record.
const Field kFields[] = {
    OV_FIELD(Loaded, U8),        OV_FIELD(CamAddr, Ipv4),       OV_FIELD(CamMask, Ipv4),
    OV_FIELD(CamMAC, Mac),       OV_FIELD(CamSerial, Text),     OV_FIELD(CamWirelessIf, U8),
    OV_FIELD(CamPort, Text),     OV_FIELD(CamIP, Text),         OV_FIELD(KeepConnecting, U8),
    OV_FIELD(APScanOK, U8),      OV_FIELD(APCount, U32),        OV_FIELD(WPSState, U8),
    OV_FIELD(WPSAck, U8),        OV_FIELD(IPType, U8),          OV_FIELD(IPAddr, Text),
    OV_FIELD(Netmask, Text),     OV_FIELD(Gateway, Text),       OV_FIELD(DNS1, Text),
    OV_FIELD(DNS2, Text),        OV_FIELD(PAccount, Text),      OV_FIELD(PPwd, Text),
    OV_FIELD(PVP, Text),         OV_FIELD(Wireless, U8),        OV_FIELD(WireType, U8),
    OV_FIELD(SSID, Text),        OV_FIELD(WireCh, U8),          OV_FIELD(ChType, U8),
    OV_FIELD(WireSec, U8),       OV_FIELD(TxRate, Text),        OV_FIELD(WIPType, U8),
    OV_FIELD(WIPAddr, Text),     OV_FIELD(WNetmask, Text),      OV_FIELD(WGateway, Text),
    OV_FIELD(WDNS1, Text),       OV_FIELD(WDNS2, Text),         OV_FIELD(WPAEnc, U8),
    OV_FIELD(WPAPSKeyM, U8),     OV_FIELD(WPAKey, Text),        OV_FIELD(WEPAuthM, U8),
    OV_FIELD(WEPMode, U8),       OV_FIELD(WEPKeyE0, U8),        OV_FIELD(WepKeyL, U8),
    OV_FIELD(WEPKey0, Text),     OV_FIELD(WEPKey1, Text),       OV_FIELD(WEPKey2, Text),
    OV_FIELD(WEPKey3, Text),     OV_FIELD(WizardMode, U8),      OV_FIELD(UseWPS, U8),
    OV_FIELD(NewEnvironment, U8), OV_FIELD(LinkWireless, U8),   OV_FIELD(LinkPPPoE, U8),
    OV_FIELD(StartSearch, U8),   OV_FIELD(StartSetup, U8),      OV_FIELD(StartUpgrade, U8),
    OV_FIELD(HostIP, Text),      OV_FIELD(HostMask, Text),      OV_FIELD(HostGateway, Text),
    OV_FIELD(HostDNS, Text),     OV_FIELD(HostIfIndex, U32),    OV_FIELD(DialUser, Text),
    OV_FIELD(DialPassword, Text), OV_FIELD(HostDialUp, U8),     OV_FIELD(HostAdapterFound, U8),
    OV_FIELD(HostWireless, U8),  OV_FIELD(HostDHCP, U8),        OV_FIELD(internetReachable, U8),
    OV_FIELD(HostNoAddress, U8), OV_FIELD(SECUEN, U8),          OV_FIELD(ModelName, Text),
    OV_FIELD(TitleBar, Text),    OV_FIELD(Desp, Text),          OV_FIELD(HasWPS, U8),
    OV_FIELD(HasWireless, U8),   OV_FIELD(Transversal, U8),     OV_FIELD(DDNS, U8),
    OV_FIELD(DDNSSrv, Text),     OV_FIELD(DDNSHost, Text),      OV_FIELD(DDNSUser, Text),
    OV_FIELD(DDNSPwd, Text),     OV_FIELD(NTPEN, U8),           OV_FIELD(NTPName, Text),
    OV_FIELD(Timezone, I32),     OV_FIELD(NTPPoll, I32),        OV_FIELD(Date, Text),
    OV_FIELD(Time, Text),        OV_FIELD(UPnPE, U8),           OV_FIELD(HttpPort, I32),
    OV_FIELD(RTPPort, I32),      OV_FIELD(RTSPPort, I32),       OV_FIELD(Version, Text),
    OV_FIELD(NATStat, U8),       OV_FIELD(ExtIPAddr, Text),     OV_FIELD(ExtHttpPort, I32),
    OV_FIELD(User, Text),        OV_FIELD(Password, Text),
};

#undef OV_FIELD

std::string_view TextOf(const CameraSettings& s, const Field& f) {
    const char* p = reinterpret_cast<const char*>(&s) + f.offset;
    return std::string_view(p, strnlen(p, f.size));
}

// The value as plain text (text fields unescaped).
std::string ValueOf(const CameraSettings& s, const Field& f) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&s) + f.offset;
    char buf[64];
    switch (f.kind) {
        case Kind::U8: return std::to_string(*p);
        case Kind::U32: {
            uint32_t v;
            std::memcpy(&v, p, sizeof v);
            return std::to_string(v);
        }
        case Kind::I32: {
            int32_t v;
            std::memcpy(&v, p, sizeof v);
            return std::to_string(v);
        }
        case Kind::Ipv4: {
            in_addr a{};
            std::memcpy(&a.s_addr, p, sizeof a.s_addr);
            return inet_ntop(AF_INET, &a, buf, sizeof buf) ? buf : "";
        }
        case Kind::Mac:
            std::snprintf(buf, sizeof buf, "%02x:%02x:%02x:%02x:%02x:%02x", p[0], p[1], p[2], p[3], p[4], p[5]);
            return buf;
        case Kind::Text: return std::string(TextOf(s, f));
    }
    return "";
}

std::string EscapeLine(std::string_view v) {
    std::string out;
    for (const char c : v) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::string UnescapeLine(std::string_view v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size() && (v[i + 1] == '\\' || v[i + 1] == 'n' || v[i + 1] == 'r')) {
            const char e = v[++i];
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : '\\';
        } else {
            out += v[i];
        }
    }
    return out;
}

// Length of a valid UTF-8 sequence at `i`, 0 when the byte starts none.
std::size_t Utf8Sequence(std::string_view v, std::size_t i) {
    const unsigned char b = static_cast<unsigned char>(v[i]);
    const std::size_t n = b >= 0xF0 && b < 0xF5 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (n == 0 || b >= 0xF5 || i + n > v.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(v[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

std::string JsonString(std::string_view v) {
    std::string out = "\"";
    char buf[8];
    for (std::size_t i = 0; i < v.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(v[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const std::size_t n = Utf8Sequence(v, i); n != 0) {
            out.append(v.substr(i, n));
            i += n - 1;
        } else {
            // 8-bit code-page text: shown as the Latin-1 character so the JSON stays valid.
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        }
    }
    return out + "\"";
}

bool ParseLong(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool Assign(CameraSettings& s, const Field& f, const std::string& value) {
    unsigned char* p = reinterpret_cast<unsigned char*>(&s) + f.offset;
    long long v = 0;
    switch (f.kind) {
        case Kind::U8:
            if (!ParseLong(value, 0, 255, v)) return false;
            *p = static_cast<uint8_t>(v);
            return true;
        case Kind::U32: {
            if (!ParseLong(value, 0, UINT32_MAX, v)) return false;
            const uint32_t u = static_cast<uint32_t>(v);
            std::memcpy(p, &u, sizeof u);
            return true;
        }
        case Kind::I32: {
            if (!ParseLong(value, INT32_MIN, INT32_MAX, v)) return false;
            const int32_t i = static_cast<int32_t>(v);
            std::memcpy(p, &i, sizeof i);
            return true;
        }
        case Kind::Ipv4: {
            in_addr a{};
            if (value.empty()) a.s_addr = 0;
            else if (inet_pton(AF_INET, value.c_str(), &a) != 1) return false;
            std::memcpy(p, &a.s_addr, sizeof a.s_addr);
            return true;
        }
        case Kind::Mac: {
            unsigned m[6];
            char tail = 0;
            if (std::sscanf(value.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &m[0], &m[1], &m[2], &m[3], &m[4], &m[5],
                            &tail) != 6)
                return false;
            for (int i = 0; i < 6; ++i) p[i] = static_cast<unsigned char>(m[i]);
            return true;
        }
        case Kind::Text:
            if (value.size() >= f.size || value.find('\0') != std::string::npos) return false;
            std::memset(p, 0, f.size);
            std::memcpy(p, value.data(), value.size());
            return true;
    }
    return false;
}

}  // namespace

std::string WriteSettingsText(const CameraSettings& settings) {
    std::string out;
    for (const Field& f : kFields) {
        out += f.name;
        out += '=';
        out += f.kind == Kind::Text ? EscapeLine(TextOf(settings, f)) : ValueOf(settings, f);
        out += '\n';
    }
    return out;
}

std::string WriteSettingsJson(const CameraSettings& settings) {
    std::string out = "{\n";
    bool first = true;
    for (const Field& f : kFields) {
        if (!first) out += ",\n";
        first = false;
        out += "  \"";
        out += f.name;
        out += "\": ";
        const bool quoted = f.kind == Kind::Text || f.kind == Kind::Mac || f.kind == Kind::Ipv4;
        out += quoted ? JsonString(ValueOf(settings, f)) : ValueOf(settings, f);
    }
    return out + "\n}\n";
}

bool ReadSettingsText(std::string_view text, CameraSettings& settings, std::string& error,
                      std::vector<std::string>* named) {
    std::size_t lineNo = 0;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            error = "line " + std::to_string(lineNo) + ": expected Field=value";
            return false;
        }
        const std::string_view name = line.substr(0, eq);
        const Field* field = nullptr;
        for (const Field& f : kFields)
            if (name == f.name) field = &f;
        if (field == nullptr) {
            error = "line " + std::to_string(lineNo) + ": unknown field '" + std::string(name) + "'";
            return false;
        }
        const std::string raw(line.substr(eq + 1));
        if (!Assign(settings, *field, field->kind == Kind::Text ? UnescapeLine(raw) : raw)) {
            error = "line " + std::to_string(lineNo) + ": bad value for " + field->name;
            if (field->kind == Kind::Text) error += " (at most " + std::to_string(field->size - 1) + " bytes)";
            return false;
        }
        if (named) named->emplace_back(field->name);
    }
    return true;
}

}  // namespace orvanta

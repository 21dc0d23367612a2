#include "core/settings/CameraKeys.h"

#include <algorithm>
#include <cstring>
#include <type_traits>


namespace orvanta {

namespace {

template <typename T>
constexpr FieldType TypeOf() {
    if constexpr (std::is_same_v<T, uint8_t>) return FieldType::U8;
    else if constexpr (std::is_same_v<T, int32_t>) return FieldType::I32;
    else if constexpr (std::is_same_v<T, uint32_t>) return FieldType::U32;
    else if constexpr (std::is_same_v<T, uint8_t[6]>) return FieldType::Bytes6;
    else {
        static_assert(std::is_array_v<T> && std::is_same_v<std::remove_extent_t<T>, char>,
                      "no text form for this type");
        return FieldType::Chars;
    }
}

#define OV_FIELD(m) RecordField{#m, offsetof(CameraSettings, m), sizeof(CameraSettings::m), TypeOf<decltype(CameraSettings::m)>()}

constexpr KeyAccess R = kKeyRead;
constexpr KeyAccess W = kKeyWrite;
constexpr KeyAccess RW = kKeyReadWrite;
constexpr bool kShort = true;
constexpr bool kSecret = true;
using K = KeyKind;
using P = PlanUse;

// The camera's pages and selectors, named for the rows below.
constexpr ParameterGroup kSys = ParameterGroup::Sysinfo;
constexpr ParameterGroup kNet = ParameterGroup::Network;
constexpr ParameterGroup kDdns = ParameterGroup::Ddns;
constexpr ParameterGroup kTime = ParameterGroup::Time;
constexpr ParameterGroup kCaps = ParameterGroup::Capabilities;
constexpr ParameterGroup kNat = ParameterGroup::NatStatus;

}  // namespace

// field, kind, {group, camera key, access, position in the save's query,
// short network form, sent as}, {column, secret, plan, planned range}
// Built on first use, so other files' statics may walk it while they start.
const std::vector<CameraKey>& CameraKeys() {
    static const std::vector<CameraKey> keys = {
        {OV_FIELD(CamIP), K::Text, {}, {"address", false, P::Reported}},
        // The port the camera was reached on: a number kept as text.
        {OV_FIELD(CamPort), K::Number, {}, {"port", false, P::Reported}},
        {OV_FIELD(ModelName), K::Text, {kSys, "ModelName", R}, {"model", false, P::Reported}},
        {OV_FIELD(Version), K::Text, {ParameterGroup::Version, "Version", R}, {"version", false, P::Reported}},
        {OV_FIELD(TitleBar), K::Text, {kSys, "TitleBar", RW, 1}, {"title", false, P::Set}},
        {OV_FIELD(Desp), K::Text, {kSys, "Desp", RW, 2}, {"description", false, P::Set}},
        {OV_FIELD(SECUEN), K::Flag, {kSys, "SECUEN", R}, {"security_enabled", false, P::Reported}},
        // The capability page names these after the settings they allow.
        {OV_FIELD(HasWireless), K::Flag, {kCaps, "Wireless", R}, {"has_wireless", false, P::Reported}},
        {OV_FIELD(HasWPS), K::Flag, {kCaps, "WPS", R}, {"has_wps", false, P::Reported}},
        {OV_FIELD(Transversal), K::Flag, {kCaps, "Transversal", R}, {"transversal", false, P::Reported}},
        {OV_FIELD(IPType), K::Number, {kNet, "IPType", RW, 1, kShort, SentAs::WirelessLinkType},
         {"ip_type", false, P::Set, 0, 2}},
        {OV_FIELD(IPAddr), K::Address, {kNet, "IPAddr", RW, 2, kShort}, {"ip_address", false, P::SetRequired}},
        {OV_FIELD(Netmask), K::Mask, {kNet, "Netmask", RW, 3, kShort}, {"netmask", false, P::SetMask}},
        {OV_FIELD(Gateway), K::Address, {kNet, "Gateway", RW, 4, kShort}, {"gateway", false, P::Set}},
        {OV_FIELD(DNS1), K::Address, {kNet, "DNS1", RW, 5, kShort}, {"dns1", false, P::Set}},
        {OV_FIELD(DNS2), K::Address, {kNet, "DNS2", RW, 6, kShort}, {"dns2", false, P::Set}},
        // The network page never reports the PPPoE account back.
        {OV_FIELD(PAccount), K::Text, {kNet, "PAccount", W, 30, kShort}, {"pppoe_account", false, P::Set}},
        {OV_FIELD(PPwd), K::Text, {kNet, "PPwd", W, 31, kShort}, {"pppoe_password", kSecret, P::Set}},
        {OV_FIELD(PVP), K::Text, {kNet, "PVP", W, 32, kShort}, {"pppoe_pvp", false, P::Set}},
        {OV_FIELD(Wireless), K::Flag, {kNet, "Wireless", R}, {"wireless_enabled", false, P::Reported}},
        {OV_FIELD(WireType), K::Flag, {kNet, "WireType", RW, 13}, {"wireless_mode", false, P::Set}},
        {OV_FIELD(SSID), K::Text, {kNet, "SSID", RW, 15}, {"ssid", false, P::Set}},
        {OV_FIELD(WireCh), K::Number, {kNet, "WireCh", RW, 16}, {"channel", false, P::Set, 0, 196}},
        {OV_FIELD(ChType), K::Number, {kNet, "ChType", R}, {"channel_type", false, P::Reported}},
        {OV_FIELD(WireSec), K::Number, {kNet, "WireSec", RW, 14}, {"wireless_security", false, P::Set, 0, 3}},
        {OV_FIELD(TxRate), K::Text, {kNet, "TxRate", RW, 27}, {"tx_rate", false, P::Set}},
        {OV_FIELD(WIPType), K::Flag, {kNet, "WIPType", RW, 7}, {"wireless_ip_type", false, P::Set}},
        {OV_FIELD(WIPAddr), K::Address, {kNet, "WIPAddr", RW, 8}, {"wireless_ip_address", false, P::Set}},
        {OV_FIELD(WNetmask), K::Mask, {kNet, "WNetmask", RW, 9}, {"wireless_netmask", false, P::Set}},
        {OV_FIELD(WGateway), K::Address, {kNet, "WGateway", RW, 10}, {"wireless_gateway", false, P::Set}},
        {OV_FIELD(WDNS1), K::Address, {kNet, "WDNS1", RW, 11}, {"wireless_dns1", false, P::Set}},
        {OV_FIELD(WDNS2), K::Address, {kNet, "WDNS2", RW, 12}, {"wireless_dns2", false, P::Set}},
        {OV_FIELD(WPAEnc), K::Flag, {kNet, "WPAEnc", RW, 25}, {"wpa_encryption", false, P::Set}},
        {OV_FIELD(WPAPSKeyM), K::Number, {kNet, "WPAPSKeyM", RW, 26}, {"wpa_key_mode", false, P::Set, 0, 255}},
        {OV_FIELD(WPAKey), K::Text, {kNet, "WPAKey", RW, 24}, {"wpa_key", kSecret, P::Set}},
        {OV_FIELD(WEPAuthM), K::Flag, {kNet, "WEPAuthM", RW, 17}, {"wep_auth", false, P::Set}},
        {OV_FIELD(WEPMode), K::Flag, {kNet, "WEPMode", RW, 18}, {"wep_format", false, P::Set}},
        {OV_FIELD(WEPKeyE0), K::Number, {kNet, "WEPKeyE0", RW, 23}, {"wep_key_index", false, P::Set, 0, 3}},
        {OV_FIELD(WepKeyL), K::Number, {kNet, "WepKeyL", RW, 28}, {"wep_key_length", false, P::Set, 0, 255}},
        {OV_FIELD(WEPKey0), K::Text, {kNet, "WEPKey0", RW, 19}, {"wep_key0", kSecret, P::Set}},
        {OV_FIELD(WEPKey1), K::Text, {kNet, "WEPKey1", RW, 20}, {"wep_key1", kSecret, P::Set}},
        {OV_FIELD(WEPKey2), K::Text, {kNet, "WEPKey2", RW, 21}, {"wep_key2", kSecret, P::Set}},
        {OV_FIELD(WEPKey3), K::Text, {kNet, "WEPKey3", RW, 22}, {"wep_key3", kSecret, P::Set}},
        {OV_FIELD(DDNS), K::Flag, {kDdns, "DDNS", RW, 2}, {"ddns_enabled", false, P::Set}},
        {OV_FIELD(DDNSSrv), K::Text, {kDdns, "DDNSSrv", RW, 1}, {"ddns_server", false, P::Set}},
        {OV_FIELD(DDNSHost), K::Text, {kDdns, "DDNSHost", RW, 5}, {"ddns_host", false, P::Set}},
        {OV_FIELD(DDNSUser), K::Text, {kDdns, "DDNSUser", RW, 3}, {"ddns_user", false, P::Set}},
        {OV_FIELD(DDNSPwd), K::Text, {kDdns, "DDNSPwd", RW, 4}, {"ddns_password", kSecret, P::Set}},
        {OV_FIELD(NTPEN), K::Flag, {kTime, "NTPEN", RW, 1}, {"ntp_enabled", false, P::Set}},
        {OV_FIELD(NTPName), K::Text, {kTime, "NTPName", RW, 2}, {"ntp_server", false, P::Set}},
        {OV_FIELD(Timezone), K::Number, {kTime, "Timezone", RW, 4}, {"timezone", false, P::Set, -86400, 86400}},
        {OV_FIELD(NTPPoll), K::Number, {kTime, "NTPPoll", RW, 3}, {"ntp_poll", false, P::Set, 0, 1000000}},
        // The camera's clock: a save sends back what the read gave.
        {OV_FIELD(Date), K::Text, {kTime, "Date", RW, 5}, {"date", false, P::Reported}},
        {OV_FIELD(Time), K::Text, {kTime, "Time", RW, 6}, {"time", false, P::Reported}},
        {OV_FIELD(UPnPE), K::Flag, {kNet, "UPnPE", RW, 29, kShort}, {"upnp_enabled", false, P::Set}},
        {OV_FIELD(HttpPort), K::Number, {kNet, "HttpPort", RW, 33, kShort}, {"http_port", false, P::Set, 1, 65535}},
        // 0: the camera serves no such stream.
        {OV_FIELD(RTPPort), K::Number, {kNet, "RTPPort", RW, 34, kShort}, {"rtp_port", false, P::Set, 0, 65535}},
        {OV_FIELD(RTSPPort), K::Number, {kNet, "RTSPPort", RW, 35, kShort}, {"rtsp_port", false, P::Set, 0, 65535}},
        {OV_FIELD(NATStat), K::Number, {kNat, "NATStat", R}, {"nat_status", false, P::Reported}},
        {OV_FIELD(ExtIPAddr), K::Text, {kNat, "ExtIPAddr", R}, {"external_address", false, P::Reported}},
        {OV_FIELD(ExtHttpPort), K::Number, {kNat, "ExtHttpPort", R}, {"external_http_port", false, P::Reported}},

        // The wizard's own state and this PC's facts: the settings file only.
        {OV_FIELD(Loaded), K::Flag},
        {OV_FIELD(CamAddr), K::Ipv4},
        {OV_FIELD(CamMask), K::Ipv4},
        {OV_FIELD(CamMAC), K::Mac},
        {OV_FIELD(CamSerial), K::Text},
        {OV_FIELD(CamWirelessIf), K::Flag},
        {OV_FIELD(KeepConnecting), K::Flag},
        {OV_FIELD(APScanOK), K::Flag},
        {OV_FIELD(APCount), K::Number},
        {OV_FIELD(WPSState), K::Number},
        {OV_FIELD(WPSAck), K::Number},
        {OV_FIELD(WizardMode), K::Number},
        {OV_FIELD(UseWPS), K::Flag},
        {OV_FIELD(NewEnvironment), K::Flag},
        {OV_FIELD(LinkWireless), K::Flag},
        {OV_FIELD(LinkPPPoE), K::Flag},
        {OV_FIELD(StartSearch), K::Flag},
        {OV_FIELD(StartSetup), K::Flag},
        {OV_FIELD(StartUpgrade), K::Flag},
        {OV_FIELD(HostIP), K::Address},
        {OV_FIELD(HostMask), K::Mask},
        {OV_FIELD(HostGateway), K::Address},
        {OV_FIELD(HostDNS), K::Address},
        {OV_FIELD(HostIfIndex), K::Number},
        {OV_FIELD(DialUser), K::Text},
        {OV_FIELD(DialPassword), K::Text},
        {OV_FIELD(HostDialUp), K::Flag},
        {OV_FIELD(HostAdapterFound), K::Flag},
        {OV_FIELD(HostWireless), K::Flag},
        {OV_FIELD(HostDHCP), K::Flag},
        {OV_FIELD(internetReachable), K::Flag},
        {OV_FIELD(HostNoAddress), K::Flag},
        {OV_FIELD(User), K::Text},
        {OV_FIELD(Password), K::Text},
    };
    return keys;
}

#undef OV_FIELD

namespace {

// The field the wireless-link choice is kept in (see SentAs::WirelessLinkType).
constexpr const char* kWirelessLinkField = "LinkWireless";

}  // namespace

const std::vector<const CameraKey*>& CameraKeysInRecordOrder() {
    static const std::vector<const CameraKey*> ordered = [] {
        std::vector<const CameraKey*> rows;
        for (const CameraKey& k : CameraKeys()) rows.push_back(&k);
        std::sort(rows.begin(), rows.end(),
                  [](const CameraKey* a, const CameraKey* b) { return a->field.offset < b->field.offset; });
        return rows;
    }();
    return ordered;
}

std::vector<const CameraKey*> KeysSentBy(ParameterGroup group) {
    const bool shortForm = group == ParameterGroup::NetworkShort;
    const ParameterGroup page = shortForm ? ParameterGroup::Network : group;
    std::vector<const CameraKey*> rows;
    for (const CameraKey& k : CameraKeys()) {
        if (k.camera.group != page || !(k.camera.access & kKeyWrite)) continue;
        if (shortForm && !k.camera.shortForm) continue;
        rows.push_back(&k);
    }
    std::sort(rows.begin(), rows.end(),
              [](const CameraKey* a, const CameraKey* b) { return a->camera.sendAt < b->camera.sendAt; });
    return rows;
}

std::vector<std::string> FieldsSentBy(const std::vector<ParameterGroup>& groups) {
    std::vector<std::string> fields;
    auto add = [&fields](const char* name) {
        if (std::find(fields.begin(), fields.end(), name) == fields.end()) fields.emplace_back(name);
    };
    for (const ParameterGroup group : groups) {
        for (const CameraKey* k : KeysSentBy(group)) {
            add(k->field.name);
            if (k->camera.sentAs == SentAs::WirelessLinkType && group == ParameterGroup::Network)
                add(kWirelessLinkField);
        }
    }
    return fields;
}

long SentNumber(const CameraSettings& s, const CameraKey& key, ParameterGroup group) {
    if (key.camera.sentAs == SentAs::WirelessLinkType && group == ParameterGroup::Network && s.LinkWireless == 1)
        return 3;
    return static_cast<long>(FieldNumberOf(s, key));
}

char* FieldBytes(CameraSettings& s, const CameraKey& key) { return reinterpret_cast<char*>(&s) + key.field.offset; }

const char* FieldBytes(const CameraSettings& s, const CameraKey& key) {
    return reinterpret_cast<const char*>(&s) + key.field.offset;
}

std::string_view FieldTextOf(const CameraSettings& s, const CameraKey& key) {
    const char* p = FieldBytes(s, key);
    return std::string_view(p, strnlen(p, key.field.size));
}

long long FieldNumberOf(const CameraSettings& s, const CameraKey& key) {
    const char* p = FieldBytes(s, key);
    switch (key.field.type) {
        case FieldType::U8: return static_cast<uint8_t>(*p);
        case FieldType::I32: {
            int32_t v;
            std::memcpy(&v, p, sizeof v);
            return v;
        }
        case FieldType::U32: {
            uint32_t v;
            std::memcpy(&v, p, sizeof v);
            return v;
        }
        case FieldType::Chars:
        case FieldType::Bytes6: break;
    }
    return 0;
}

void SetFieldNumber(CameraSettings& s, const CameraKey& key, long long value) {
    char* p = FieldBytes(s, key);
    switch (key.field.type) {
        case FieldType::U8: *p = static_cast<char>(static_cast<uint8_t>(value)); break;
        case FieldType::I32: {
            const int32_t v = static_cast<int32_t>(value);
            std::memcpy(p, &v, sizeof v);
            break;
        }
        case FieldType::U32: {
            const uint32_t v = static_cast<uint32_t>(value);
            std::memcpy(p, &v, sizeof v);
            break;
        }
        case FieldType::Chars:
        case FieldType::Bytes6: break;
    }
}

}  // namespace orvanta

#include "core/provision/PlanFields.h"

#include <arpa/inet.h>

#include <algorithm>
#include <charconv>

#include "core/hostnet/Ipv4Text.h"
#include "core/settings/FixedField.h"

namespace orvanta::provision {

namespace {

using S = CameraSettings;
using hostnet::MaskPrefix;
using hostnet::ParseIpv4;

// Camera text goes into a form field: control characters would break the
// request line, and a field holds at most N-1 bytes.
template <std::size_t N>
PlanField Text(const char* key, char (S::*field)[N]) {
    return {key,
            [field](std::string_view t, S& s, std::string& why) {
                if (t.size() > N - 1) {
                    why = "longer than " + std::to_string(N - 1) + " bytes";
                    return false;
                }
                if (std::any_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
                    why = "holds a control character";
                    return false;
                }
                SetField(s.*field, t);
                return true;
            },
            [field](const S& s) { return std::string(FieldText(s.*field)); }};
}

template <typename T>
PlanField Number(const char* key, T S::*field, long long low, long long high) {
    return {key,
            [field, low, high](std::string_view t, S& s, std::string& why) {
                long long v = 0;
                const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
                if (t.empty() || ec != std::errc() || end != t.data() + t.size() || v < low || v > high) {
                    why = "not a whole number from " + std::to_string(low) + " to " + std::to_string(high);
                    return false;
                }
                s.*field = static_cast<T>(v);
                return true;
            },
            [field](const S& s) { return std::to_string(static_cast<long long>(s.*field)); }};
}

enum class AddressKind { Required, Optional, Mask };

template <std::size_t N>
PlanField Address(const char* key, char (S::*field)[N], AddressKind kind) {
    return {key,
            [field, kind](std::string_view t, S& s, std::string& why) {
                uint32_t a = 0;
                if (t.empty() && kind == AddressKind::Optional) {
                    SetField(s.*field, "");
                    return true;
                }
                if (!ParseIpv4(t, a)) {
                    why = "not an IPv4 address a.b.c.d";
                    return false;
                }
                if (kind == AddressKind::Mask && (MaskPrefix(a) < 1 || MaskPrefix(a) > 30)) {
                    why = "not a subnet mask from /1 to /30";
                    return false;
                }
                SetField(s.*field, t);
                return true;
            },
            [field](const S& s) { return std::string(FieldText(s.*field)); }};
}

const std::vector<std::string> kReportedOnly = {
    "address",        "port",         "model",      "version",  "security_enabled", "has_wireless",
    "has_wps",        "transversal",  "wireless_enabled", "channel_type", "date", "time",
    "nat_status",     "external_address", "external_http_port"};

// One mode: 0 DHCP, 1 fixed (2 PPPoE on the wired side).
void CheckOne(const char* label, uint8_t type, std::string_view ip, std::string_view mask, std::string_view gateway,
              const std::string& where, std::vector<std::string>& problems) {
    if (type != 1) return;
    uint32_t a = 0, m = 0, g = 0;
    if (!ParseIpv4(ip, a) || !ParseIpv4(mask, m) || MaskPrefix(m) < 1 || MaskPrefix(m) > 30) {
        problems.push_back(where + ": " + label + " address '" + std::string(ip) + "' with mask '" + std::string(mask) +
                           "' is not a fixed address and subnet mask");
        return;
    }
    const uint32_t host = ntohl(a), hmask = ntohl(m);
    if ((host & ~hmask) == 0 || (host & ~hmask) == ~hmask)
        problems.push_back(where + ": " + label + " address " + std::string(ip) + " is not a host of its subnet /" +
                           std::to_string(MaskPrefix(m)));
    if (gateway.empty()) return;
    if (!ParseIpv4(gateway, g)) {
        problems.push_back(where + ": " + label + " gateway '" + std::string(gateway) + "' is not an IPv4 address");
        return;
    }
    if ((ntohl(g) & hmask) != (host & hmask) || g == a)
        problems.push_back(where + ": " + label + " gateway " + std::string(gateway) + " is not another host of " +
                           std::string(ip) + "/" + std::to_string(MaskPrefix(m)));
}

}  // namespace

const std::vector<PlanField>& PlanFields() {
    using K = AddressKind;
    static const std::vector<PlanField> fields = {
        Text("title", &S::TitleBar),
        Text("description", &S::Desp),
        Number("ip_type", &S::IPType, 0, 2),
        Address("ip_address", &S::IPAddr, K::Required),
        Address("netmask", &S::Netmask, K::Mask),
        Address("gateway", &S::Gateway, K::Optional),
        Address("dns1", &S::DNS1, K::Optional),
        Address("dns2", &S::DNS2, K::Optional),
        Text("pppoe_account", &S::PAccount),
        Text("pppoe_password", &S::PPwd),
        Text("pppoe_pvp", &S::PVP),
        Number("wireless_mode", &S::WireType, 0, 1),
        Text("ssid", &S::SSID),
        Number("channel", &S::WireCh, 0, 196),
        Number("wireless_security", &S::WireSec, 0, 3),
        Text("tx_rate", &S::TxRate),
        Number("wireless_ip_type", &S::WIPType, 0, 1),
        Address("wireless_ip_address", &S::WIPAddr, K::Optional),
        Address("wireless_netmask", &S::WNetmask, K::Optional),
        Address("wireless_gateway", &S::WGateway, K::Optional),
        Address("wireless_dns1", &S::WDNS1, K::Optional),
        Address("wireless_dns2", &S::WDNS2, K::Optional),
        Number("wpa_encryption", &S::WPAEnc, 0, 1),
        Number("wpa_key_mode", &S::WPAPSKeyM, 0, 255),
        Text("wpa_key", &S::WPAKey),
        Number("wep_auth", &S::WEPAuthM, 0, 1),
        Number("wep_format", &S::WEPMode, 0, 1),
        Number("wep_key_index", &S::WEPKeyE0, 0, 3),
        Number("wep_key_length", &S::WepKeyL, 0, 255),
        Text("wep_key0", &S::WEPKey0),
        Text("wep_key1", &S::WEPKey1),
        Text("wep_key2", &S::WEPKey2),
        Text("wep_key3", &S::WEPKey3),
        Number("ddns_enabled", &S::DDNS, 0, 1),
        Text("ddns_server", &S::DDNSSrv),
        Text("ddns_host", &S::DDNSHost),
        Text("ddns_user", &S::DDNSUser),
        Text("ddns_password", &S::DDNSPwd),
        Number("ntp_enabled", &S::NTPEN, 0, 1),
        Text("ntp_server", &S::NTPName),
        Number("timezone", &S::Timezone, -86400, 86400),
        Number("ntp_poll", &S::NTPPoll, 0, 1000000),
        Number("upnp_enabled", &S::UPnPE, 0, 1),
        Number("http_port", &S::HttpPort, 1, 65535),
        // 0: the camera serves no such stream.
        Number("rtp_port", &S::RTPPort, 0, 65535),
        Number("rtsp_port", &S::RTSPPort, 0, 65535),
    };
    return fields;
}

const PlanField* FindPlanField(std::string_view key) {
    for (const PlanField& f : PlanFields())
        if (f.key == key) return &f;
    return nullptr;
}

bool IsReportedOnlyKey(std::string_view key) {
    return std::find(kReportedOnly.begin(), kReportedOnly.end(), key) != kReportedOnly.end();
}

void CheckAddressing(const CameraSettings& s, const std::string& where, std::vector<std::string>& problems) {
    CheckOne("wired", s.IPType, FieldText(s.IPAddr), FieldText(s.Netmask), FieldText(s.Gateway), where, problems);
    CheckOne("wireless", s.WIPType, FieldText(s.WIPAddr), FieldText(s.WNetmask), FieldText(s.WGateway), where,
             problems);
}

}  // namespace orvanta::provision

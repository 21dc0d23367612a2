#include "core/output/CameraRecordWriter.h"

#include <cerrno>
#include <cstdlib>
#include <functional>

#include "core/settings/FixedField.h"

namespace orvanta::output {

namespace {

struct Key {
    const char* name;
    bool secret;
    std::function<OutputValue(const CameraSettings&)> value;
};

template <std::size_t N>
std::function<OutputValue(const CameraSettings&)> TextOf(const char (CameraSettings::*field)[N]) {
    return [field](const CameraSettings& s) { return OutputValue::Text(FieldText(s.*field)); };
}

template <typename T>
std::function<OutputValue(const CameraSettings&)> NumberOf(T CameraSettings::*field) {
    return [field](const CameraSettings& s) { return OutputValue::Number(static_cast<long long>(s.*field)); };
}

// The port the camera was reached on, kept as text in the record.
OutputValue PortOf(const CameraSettings& s) {
    const std::string text(FieldText(s.CamPort));
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0') return OutputValue::Null();
    return OutputValue::Number(v);
}

const std::vector<Key>& Keys() {
    using S = CameraSettings;
    static const std::vector<Key> keys = {
        {"address", false, TextOf(&S::CamIP)},
        {"port", false, PortOf},
        {"model", false, TextOf(&S::ModelName)},
        {"version", false, TextOf(&S::Version)},
        {"title", false, TextOf(&S::TitleBar)},
        {"description", false, TextOf(&S::Desp)},
        {"security_enabled", false, NumberOf(&S::SECUEN)},
        {"has_wireless", false, NumberOf(&S::HasWireless)},
        {"has_wps", false, NumberOf(&S::HasWPS)},
        {"transversal", false, NumberOf(&S::Transversal)},
        {"ip_type", false, NumberOf(&S::IPType)},
        {"ip_address", false, TextOf(&S::IPAddr)},
        {"netmask", false, TextOf(&S::Netmask)},
        {"gateway", false, TextOf(&S::Gateway)},
        {"dns1", false, TextOf(&S::DNS1)},
        {"dns2", false, TextOf(&S::DNS2)},
        {"pppoe_account", false, TextOf(&S::PAccount)},
        {"pppoe_password", true, TextOf(&S::PPwd)},
        {"pppoe_pvp", false, TextOf(&S::PVP)},
        {"wireless_enabled", false, NumberOf(&S::Wireless)},
        {"wireless_mode", false, NumberOf(&S::WireType)},
        {"ssid", false, TextOf(&S::SSID)},
        {"channel", false, NumberOf(&S::WireCh)},
        {"channel_type", false, NumberOf(&S::ChType)},
        {"wireless_security", false, NumberOf(&S::WireSec)},
        {"tx_rate", false, TextOf(&S::TxRate)},
        {"wireless_ip_type", false, NumberOf(&S::WIPType)},
        {"wireless_ip_address", false, TextOf(&S::WIPAddr)},
        {"wireless_netmask", false, TextOf(&S::WNetmask)},
        {"wireless_gateway", false, TextOf(&S::WGateway)},
        {"wireless_dns1", false, TextOf(&S::WDNS1)},
        {"wireless_dns2", false, TextOf(&S::WDNS2)},
        {"wpa_encryption", false, NumberOf(&S::WPAEnc)},
        {"wpa_key_mode", false, NumberOf(&S::WPAPSKeyM)},
        {"wpa_key", true, TextOf(&S::WPAKey)},
        {"wep_auth", false, NumberOf(&S::WEPAuthM)},
        {"wep_format", false, NumberOf(&S::WEPMode)},
        {"wep_key_index", false, NumberOf(&S::WEPKeyE0)},
        {"wep_key_length", false, NumberOf(&S::WepKeyL)},
        {"wep_key0", true, TextOf(&S::WEPKey0)},
        {"wep_key1", true, TextOf(&S::WEPKey1)},
        {"wep_key2", true, TextOf(&S::WEPKey2)},
        {"wep_key3", true, TextOf(&S::WEPKey3)},
        {"ddns_enabled", false, NumberOf(&S::DDNS)},
        {"ddns_server", false, TextOf(&S::DDNSSrv)},
        {"ddns_host", false, TextOf(&S::DDNSHost)},
        {"ddns_user", false, TextOf(&S::DDNSUser)},
        {"ddns_password", true, TextOf(&S::DDNSPwd)},
        {"ntp_enabled", false, NumberOf(&S::NTPEN)},
        {"ntp_server", false, TextOf(&S::NTPName)},
        {"timezone", false, NumberOf(&S::Timezone)},
        {"ntp_poll", false, NumberOf(&S::NTPPoll)},
        {"date", false, TextOf(&S::Date)},
        {"time", false, TextOf(&S::Time)},
        {"upnp_enabled", false, NumberOf(&S::UPnPE)},
        {"http_port", false, NumberOf(&S::HttpPort)},
        {"rtp_port", false, NumberOf(&S::RTPPort)},
        {"rtsp_port", false, NumberOf(&S::RTSPPort)},
        {"nat_status", false, NumberOf(&S::NATStat)},
        {"external_address", false, TextOf(&S::ExtIPAddr)},
        {"external_http_port", false, NumberOf(&S::ExtHttpPort)},
    };
    return keys;
}

}  // namespace

std::vector<std::string> CameraRecordColumns(bool withSecrets) {
    std::vector<std::string> columns;
    for (const Key& k : Keys())
        if (withSecrets || !k.secret) columns.emplace_back(k.name);
    return columns;
}

std::vector<OutputValue> CameraRecordRow(const CameraSettings& settings, bool withSecrets) {
    std::vector<OutputValue> row;
    for (const Key& k : Keys())
        if (withSecrets || !k.secret) row.push_back(k.value(settings));
    return row;
}

}  // namespace orvanta::output

#include "core/onvif/device/DeviceReplies.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>

#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/OnvifXml.h"
#include "core/base/MacAddress.h"

namespace orvanta::onvif {

namespace {

const char* const D = ns::kDevice;
const char* const T = ns::kSchema;

bool IsTrue(const std::string& text) { return text == "true" || text == "1"; }

// A whole number within bounds, or nullopt.
std::optional<int> Number(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < low || v > high) return std::nullopt;
    return static_cast<int>(v);
}

// tt:IPAddress or tt:NetworkHost: its IPv4 address, else its DNS name.
std::string HostText(const pugi::xml_node& host) {
    std::string v = ChildText(host, T, "IPv4Address");
    if (v.empty()) v = ChildText(host, T, "DNSname");
    if (v.empty()) v = ChildText(host, T, "IPv6Address");
    return v;
}

std::vector<std::string> Hosts(const pugi::xml_node& parent, const char* local) {
    std::vector<std::string> out;
    for (const pugi::xml_node& n : ChildElements(parent, T, local))
        if (std::string h = HostText(n); !h.empty()) out.push_back(h);
    return out;
}

// tt:DateTime (Time, Date) as a UTC time point.
std::optional<std::chrono::system_clock::time_point> ReadDateTime(const pugi::xml_node& dt) {
    const pugi::xml_node date = ChildElement(dt, T, "Date");
    const pugi::xml_node time = ChildElement(dt, T, "Time");
    const auto y = Number(ChildText(date, T, "Year"), 1970, 9999);
    const auto mo = Number(ChildText(date, T, "Month"), 1, 12);
    const auto d = Number(ChildText(date, T, "Day"), 1, 31);
    const auto h = Number(ChildText(time, T, "Hour"), 0, 23);
    const auto mi = Number(ChildText(time, T, "Minute"), 0, 59);
    const auto s = Number(ChildText(time, T, "Second"), 0, 61);
    if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
    std::tm tm{};
    tm.tm_year = *y - 1900;
    tm.tm_mon = *mo - 1;
    tm.tm_mday = *d;
    tm.tm_hour = *h;
    tm.tm_min = *mi;
    tm.tm_sec = *s;
    return std::chrono::system_clock::from_time_t(timegm(&tm));
}

}  // namespace

std::string NormalEndpoint(const std::string& text) {
    if (text.rfind("urn:", 0) == 0 || text.find("://") != std::string::npos || text.empty()) return text;
    return "urn:uuid:" + text;
}

bool ReadSystemDateAndTime(const pugi::xml_node& response, CameraDateTime& out) {
    if (!IsElement(response, D, "GetSystemDateAndTimeResponse")) return false;
    const pugi::xml_node sdt = ChildElement(response, D, "SystemDateAndTime");
    if (!sdt) return false;
    out.ntp = ChildText(sdt, T, "DateTimeType") == "NTP";
    out.daylightSavings = IsTrue(ChildText(sdt, T, "DaylightSavings"));
    out.tz = ChildText(ChildElement(sdt, T, "TimeZone"), T, "TZ");
    if (const pugi::xml_node utc = ChildElement(sdt, T, "UTCDateTime")) out.utc = ReadDateTime(utc);
    return true;
}

bool ReadDeviceInformation(const pugi::xml_node& response, OnvifDeviceState& state) {
    if (!IsElement(response, D, "GetDeviceInformationResponse")) return false;
    state.manufacturer = ChildText(response, D, "Manufacturer");
    state.model = ChildText(response, D, "Model");
    state.firmware = ChildText(response, D, "FirmwareVersion");
    state.serial = ChildText(response, D, "SerialNumber");
    state.hardwareId = ChildText(response, D, "HardwareId");
    return true;
}

bool ReadNetworkInterfaces(const pugi::xml_node& response, std::vector<NetworkInterfaceInfo>& out) {
    if (!IsElement(response, D, "GetNetworkInterfacesResponse")) return false;
    out.clear();
    for (const pugi::xml_node& n : ChildElements(response, D, "NetworkInterfaces")) {
        NetworkInterfaceInfo info;
        info.token = n.attribute("token").value();
        info.enabled = IsTrue(ChildText(n, T, "Enabled"));
        info.mac = MacText(ChildText(ChildElement(n, T, "Info"), T, "HwAddress"));
        const pugi::xml_node v4 = ChildElement(n, T, "IPv4");
        const pugi::xml_node config = ChildElement(v4, T, "Config");
        if (v4 && IsTrue(ChildText(v4, T, "Enabled")) && config) {
            info.hasIpv4 = true;
            info.ipv4.dhcp = IsTrue(ChildText(config, T, "DHCP"));
            pugi::xml_node address = info.ipv4.dhcp ? ChildElement(config, T, "FromDHCP") : pugi::xml_node();
            if (!address) address = ChildElement(config, T, "Manual");
            if (!address) address = ChildElement(config, T, "LinkLocal");
            info.ipv4.address = ChildText(address, T, "Address");
            info.ipv4.prefix = Number(ChildText(address, T, "PrefixLength"), 0, 32).value_or(0);
        }
        out.push_back(info);
    }
    return true;
}

std::optional<NetworkInterfaceInfo> MainInterface(const std::vector<NetworkInterfaceInfo>& interfaces) {
    for (const NetworkInterfaceInfo& i : interfaces)
        if (i.enabled && i.hasIpv4 && !i.token.empty()) return i;
    return std::nullopt;
}

bool ReadDefaultGateway(const pugi::xml_node& response, std::string& gateway) {
    if (!IsElement(response, D, "GetNetworkDefaultGatewayResponse")) return false;
    gateway = ChildText(ChildElement(response, D, "NetworkGateway"), T, "IPv4Address");
    return true;
}

bool ReadDns(const pugi::xml_node& response, std::vector<std::string>& servers) {
    if (!IsElement(response, D, "GetDNSResponse")) return false;
    const pugi::xml_node info = ChildElement(response, D, "DNSInformation");
    servers = Hosts(info, IsTrue(ChildText(info, T, "FromDHCP")) ? "DNSFromDHCP" : "DNSManual");
    return true;
}

bool ReadNtp(const pugi::xml_node& response, std::vector<std::string>& servers) {
    if (!IsElement(response, D, "GetNTPResponse")) return false;
    const pugi::xml_node info = ChildElement(response, D, "NTPInformation");
    servers = Hosts(info, IsTrue(ChildText(info, T, "FromDHCP")) ? "NTPFromDHCP" : "NTPManual");
    return true;
}

bool ReadHostname(const pugi::xml_node& response, std::string& name) {
    if (!IsElement(response, D, "GetHostnameResponse")) return false;
    name = ChildText(ChildElement(response, D, "HostnameInformation"), T, "Name");
    return true;
}

bool ReadEndpointReference(const pugi::xml_node& response, std::string& endpoint) {
    if (!IsElement(response, D, "GetEndpointReferenceResponse")) return false;
    endpoint = NormalEndpoint(ChildText(response, D, "GUID"));
    return true;
}

bool ReadUsers(const pugi::xml_node& response, std::vector<OnvifUser>& users) {
    if (!IsElement(response, D, "GetUsersResponse")) return false;
    users.clear();
    for (const pugi::xml_node& u : ChildElements(response, D, "User"))
        users.push_back({ChildText(u, T, "Username"), ChildText(u, T, "UserLevel")});
    return true;
}

bool ReadRebootNeeded(const pugi::xml_node& response, bool& rebootNeeded) {
    if (!IsElement(response, D, "SetNetworkInterfacesResponse")) return false;
    rebootNeeded = IsTrue(ChildText(response, D, "RebootNeeded"));
    return true;
}

bool ReadMediaServices(const pugi::xml_node& response, MediaServices& out) {
    if (!IsElement(response, D, "GetServicesResponse")) return false;
    out = {};
    for (const pugi::xml_node& s : ChildElements(response, D, "Service")) {
        const std::string space = ChildText(s, D, "Namespace");
        std::string* into = space == ns::kMedia ? &out.media : space == ns::kMedia2 ? &out.media2 : nullptr;
        if (into && into->empty()) *into = ChildText(s, D, "XAddr");
    }
    return true;
}

bool ReadMediaAddressFromServices(const pugi::xml_node& response, std::string& xaddr) {
    MediaServices services;
    if (!ReadMediaServices(response, services)) return false;
    xaddr = services.media;
    return !xaddr.empty();
}

bool ReadMediaAddressFromCapabilities(const pugi::xml_node& response, std::string& xaddr) {
    if (!IsElement(response, D, "GetCapabilitiesResponse")) return false;
    xaddr = ChildText(ChildElement(ChildElement(response, D, "Capabilities"), T, "Media"), T, "XAddr");
    return !xaddr.empty();
}

bool ReadProfileTokens(const pugi::xml_node& response, std::vector<std::string>& tokens, bool media2) {
    const char* const M = media2 ? ns::kMedia2 : ns::kMedia;
    if (!IsElement(response, M, "GetProfilesResponse")) return false;
    tokens.clear();
    for (const pugi::xml_node& p : ChildElements(response, M, "Profiles"))
        if (const std::string t = p.attribute("token").value(); !t.empty()) tokens.push_back(t);
    return true;
}

bool ReadStreamUri(const pugi::xml_node& response, std::string& uri, bool media2) {
    if (media2) {
        if (!IsElement(response, ns::kMedia2, "GetStreamUriResponse")) return false;
        uri = ChildText(response, ns::kMedia2, "Uri");
        return !uri.empty();
    }
    if (!IsElement(response, ns::kMedia, "GetStreamUriResponse")) return false;
    uri = ChildText(ChildElement(response, ns::kMedia, "MediaUri"), T, "Uri");
    return !uri.empty();
}

}  // namespace orvanta::onvif

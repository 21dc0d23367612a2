#include "core/onvif/device/DeviceRequests.h"

#include <ctime>

#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/SoapEnvelope.h"
#include "core/base/AddressText.h"

namespace orvanta::onvif {

namespace {

SoapCall Device(const std::string& name, const std::string& inner) {
    return {std::string(ns::kDevice) + "/" + name,
            inner.empty() ? "<tds:" + name + "/>" : "<tds:" + name + ">" + inner + "</tds:" + name + ">"};
}

std::string Element(const std::string& name, const std::string& escapedContent) {
    return "<" + name + ">" + escapedContent + "</" + name + ">";
}

std::string Text(const std::string& name, const std::string& value) { return Element(name, XmlEscape(value)); }

bool IsIpv4(const std::string& text) {
    uint32_t a = 0;
    return ParseIpv4(text, a);
}

}  // namespace

SoapCall DeviceCall(const std::string& name) { return Device(name, ""); }

SoapCall GetCapabilitiesCall() { return Device("GetCapabilities", Text("tds:Category", "All")); }

SoapCall GetServicesCall() { return Device("GetServices", Text("tds:IncludeCapability", "false")); }

SoapCall GetProfilesCall() { return {std::string(ns::kMedia) + "/GetProfiles", "<trt:GetProfiles/>"}; }

SoapCall GetStreamUriCall(const std::string& profileToken) {
    return {std::string(ns::kMedia) + "/GetStreamUri",
            "<trt:GetStreamUri><trt:StreamSetup><tt:Stream>RTP-Unicast</tt:Stream><tt:Transport><tt:Protocol>RTSP"
            "</tt:Protocol></tt:Transport></trt:StreamSetup>" +
                Text("trt:ProfileToken", profileToken) + "</trt:GetStreamUri>"};
}

SoapCall GetProfiles2Call() {
    // Only the profiles' tokens are read: no configuration asked for.
    return {std::string(ns::kMedia2) + "/GetProfiles", "<tr2:GetProfiles/>"};
}

SoapCall GetStreamUri2Call(const std::string& profileToken) {
    return {std::string(ns::kMedia2) + "/GetStreamUri",
            "<tr2:GetStreamUri>" + Text("tr2:Protocol", "RTSP") + Text("tr2:ProfileToken", profileToken) +
                "</tr2:GetStreamUri>"};
}

SoapCall SetNetworkInterfacesCall(const std::string& interfaceToken, const OnvifIpv4& ipv4) {
    std::string v4 = Text("tt:Enabled", "true");
    if (!ipv4.dhcp)
        v4 += Element("tt:Manual", Text("tt:Address", ipv4.address) + Text("tt:PrefixLength", std::to_string(ipv4.prefix)));
    v4 += Text("tt:DHCP", ipv4.dhcp ? "true" : "false");
    return Device("SetNetworkInterfaces", Text("tds:InterfaceToken", interfaceToken) +
                                              Element("tds:NetworkInterface", Text("tt:Enabled", "true") +
                                                                                  Element("tt:IPv4", v4)));
}

SoapCall SetNetworkDefaultGatewayCall(const std::string& gateway) {
    return Device("SetNetworkDefaultGateway", gateway.empty() ? std::string() : Text("tds:IPv4Address", gateway));
}

SoapCall SetDnsCall(const std::vector<std::string>& servers) {
    std::string inner = Text("tds:FromDHCP", "false");
    for (const std::string& s : servers)
        inner += Element("tds:DNSManual", Text("tt:Type", "IPv4") + Text("tt:IPv4Address", s));
    return Device("SetDNS", inner);
}

SoapCall SetNtpCall(const std::vector<std::string>& servers) {
    std::string inner = Text("tds:FromDHCP", "false");
    for (const std::string& s : servers) {
        inner += Element("tds:NTPManual", IsIpv4(s) ? Text("tt:Type", "IPv4") + Text("tt:IPv4Address", s)
                                                    : Text("tt:Type", "DNS") + Text("tt:DNSname", s));
    }
    return Device("SetNTP", inner);
}

SoapCall SetHostnameCall(const std::string& name) { return Device("SetHostname", Text("tds:Name", name)); }

SoapCall SetSystemDateAndTimeCall(const DateTimeSetting& setting) {
    std::string inner = Text("tds:DateTimeType", setting.ntp ? "NTP" : "Manual") +
                        Text("tds:DaylightSavings", setting.daylightSavings ? "true" : "false");
    if (setting.tz) inner += Element("tds:TimeZone", Text("tt:TZ", *setting.tz));
    if (setting.utc) {
        const std::time_t t = std::chrono::system_clock::to_time_t(*setting.utc);
        std::tm u{};
        gmtime_r(&t, &u);
        inner += Element("tds:UTCDateTime",
                         Element("tt:Time", Text("tt:Hour", std::to_string(u.tm_hour)) +
                                                Text("tt:Minute", std::to_string(u.tm_min)) +
                                                Text("tt:Second", std::to_string(u.tm_sec))) +
                             Element("tt:Date", Text("tt:Year", std::to_string(u.tm_year + 1900)) +
                                                    Text("tt:Month", std::to_string(u.tm_mon + 1)) +
                                                    Text("tt:Day", std::to_string(u.tm_mday))));
    }
    return Device("SetSystemDateAndTime", inner);
}

SoapCall SetUserCall(const std::string& user, const std::string& password, const std::string& userLevel) {
    return Device("SetUser", Element("tds:User", Text("tt:Username", user) + Text("tt:Password", password) +
                                                     Text("tt:UserLevel", userLevel)));
}

}  // namespace orvanta::onvif

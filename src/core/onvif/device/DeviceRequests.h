// The bodies of the Device and Media requests we send, each a fixed
// template with its values escaped (SoapEnvelope.h), and the SOAP action of
// each. What a value may be (an address, a prefix, a host name) is checked
// by the caller before a body is built; see ChangeCheck.h.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

struct SoapCall {
    std::string action;  // the SOAP action URI
    std::string body;    // the Body's content
};

// A Device call without parameters: GetSystemDateAndTime,
// GetDeviceInformation, GetNetworkInterfaces, GetNetworkDefaultGateway,
// GetDNS, GetNTP, GetHostname, GetUsers, GetEndpointReference, SystemReboot.
SoapCall DeviceCall(const std::string& name);
SoapCall GetCapabilitiesCall();
SoapCall GetServicesCall();
SoapCall GetProfilesCall();
SoapCall GetStreamUriCall(const std::string& profileToken);
// The same two of Media2 (ver20), for devices that offer no other.
SoapCall GetProfiles2Call();
SoapCall GetStreamUri2Call(const std::string& profileToken);

SoapCall SetNetworkInterfacesCall(const std::string& interfaceToken, const OnvifIpv4& ipv4);
SoapCall SetNetworkDefaultGatewayCall(const std::string& gateway);
SoapCall SetDnsCall(const std::vector<std::string>& servers);
// Each server an IPv4 address or a DNS name.
SoapCall SetNtpCall(const std::vector<std::string>& servers);
SoapCall SetHostnameCall(const std::string& name);

struct DateTimeSetting {
    bool ntp = false;                   // DateTimeType NTP, else Manual
    bool daylightSavings = false;
    std::optional<std::string> tz;      // POSIX TZ string
    std::optional<std::chrono::system_clock::time_point> utc;
};
SoapCall SetSystemDateAndTimeCall(const DateTimeSetting& setting);

SoapCall SetUserCall(const std::string& user, const std::string& password, const std::string& userLevel);

}  // namespace orvanta::onvif

// Reading the Device and Media replies into plain values. Each reader takes
// the Body's first element (SoapReply::body) and returns false when the
// reply is not the response it should be, so a camera that answers one
// call with another's response is caught, not misread.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

struct CameraDateTime {
    bool ntp = false;                  // DateTimeType
    bool daylightSavings = false;
    std::string tz;
    std::optional<std::chrono::system_clock::time_point> utc;
};
bool ReadSystemDateAndTime(const pugi::xml_node& response, CameraDateTime& out);

bool ReadDeviceInformation(const pugi::xml_node& response, OnvifDeviceState& state);

struct NetworkInterfaceInfo {
    std::string token;
    bool enabled = false;
    std::string mac;
    bool hasIpv4 = false;
    OnvifIpv4 ipv4;
};
bool ReadNetworkInterfaces(const pugi::xml_node& response, std::vector<NetworkInterfaceInfo>& out);
// The interface the camera is reached on: the first enabled one with IPv4.
std::optional<NetworkInterfaceInfo> MainInterface(const std::vector<NetworkInterfaceInfo>& interfaces);

bool ReadDefaultGateway(const pugi::xml_node& response, std::string& gateway);
// The servers in use: the DHCP-given ones when FromDHCP, else the manual ones.
bool ReadDns(const pugi::xml_node& response, std::vector<std::string>& servers);
bool ReadNtp(const pugi::xml_node& response, std::vector<std::string>& servers);
bool ReadHostname(const pugi::xml_node& response, std::string& name);
bool ReadEndpointReference(const pugi::xml_node& response, std::string& endpoint);

bool ReadUsers(const pugi::xml_node& response, std::vector<OnvifUser>& users);

bool ReadRebootNeeded(const pugi::xml_node& response, bool& rebootNeeded);

// The media service address as announced (GetServices, else GetCapabilities).
bool ReadMediaAddressFromServices(const pugi::xml_node& response, std::string& xaddr);
bool ReadMediaAddressFromCapabilities(const pugi::xml_node& response, std::string& xaddr);

// Both media services as GetServices lists them (either may be empty).
// False when the reply is not a GetServicesResponse.
struct MediaServices {
    std::string media;    // ver10
    std::string media2;   // ver20
};
bool ReadMediaServices(const pugi::xml_node& response, MediaServices& out);

// Profile tokens and stream URIs of Media (ver10) or, with `media2`, of
// Media2 (ver20): the same facts in other elements.
bool ReadProfileTokens(const pugi::xml_node& response, std::vector<std::string>& tokens, bool media2 = false);
bool ReadStreamUri(const pugi::xml_node& response, std::string& uri, bool media2 = false);

// "urn:uuid:..." for a bare UUID; anything else as it stands.
std::string NormalEndpoint(const std::string& text);

}  // namespace orvanta::onvif

// Where a camera's ONVIF services live: the device service URL a search
// announced or the user typed, and the service addresses the camera names
// for itself (which may carry a host we cannot reach: its address before a
// NAT, a name only its own network knows, 0.0.0.0, or an old address).
#pragma once

#include <string>
#include <optional>
#include <string_view>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

// The standard path of the device service.
inline constexpr const char* kDeviceServicePath = "/onvif/device_service";

struct ServiceUrl {
    std::string host;   // dotted quad or name
    std::string port = "80";
    std::string path = kDeviceServicePath;
    bool operator==(const ServiceUrl&) const = default;
};

// "http://host[:port][/path]". https and anything else is refused (false).
bool ParseServiceUrl(std::string_view url, ServiceUrl& out);
std::string FormatServiceUrl(const ServiceUrl& url);

// A target as the user names a camera: a device-service URL, "address" or
// "address:port" (the standard path assumed). False with `why` otherwise.
// (A "urn:uuid:" target is found by a search first; see the command line.)
bool ParseDeviceTarget(std::string_view target, ServiceUrl& out, std::string& why);

// The camera's own service address as we can use it: its port and path,
// on the host we reached the device service at. Every service of a camera
// is on the camera, so the host it names is only ever worse than ours.
ServiceUrl ReachableServiceUrl(const ServiceUrl& reported, const ServiceUrl& reached);

// The device service a search announced: its first usable XAddr, on the
// address the reply came from (a camera may announce an address it no
// longer has, or one behind a NAT).
std::optional<ServiceUrl> DeviceServiceOf(const DiscoveredOnvifDevice& found);

}  // namespace orvanta::onvif

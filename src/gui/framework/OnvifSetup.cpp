#include "gui/framework/OnvifSetup.h"

#include "core/onvif/soap/ServiceAddress.h"
#include "core/base/AddressText.h"

namespace orvanta {

std::string OnvifTarget(const onvif::DiscoveredOnvifDevice& device) {
    if (const auto url = onvif::DeviceServiceOf(device)) return onvif::FormatServiceUrl(*url);
    return device.replyFrom != 0 ? FormatIpv4HostOrder(device.replyFrom) : std::string();
}

std::string OnvifHost(const onvif::DiscoveredOnvifDevice& device) {
    if (const auto url = onvif::DeviceServiceOf(device)) return url->host;
    return device.replyFrom != 0 ? FormatIpv4HostOrder(device.replyFrom) : std::string();
}

}  // namespace orvanta

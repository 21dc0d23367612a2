#include "core/onvif/OnvifDevice.h"

#include "core/base/AddressText.h"

namespace orvanta::onvif {

OnvifDevice DeviceFound(const DiscoveredOnvifDevice& found) {
    OnvifDevice device;
    if (const auto url = DeviceServiceOf(found)) device.service = *url;
    else if (found.replyFrom != 0) device.service.host = FormatIpv4HostOrder(found.replyFrom);
    device.endpoint = found.endpoint;
    device.card = found.interfaceName;
    return device;
}

}  // namespace orvanta::onvif

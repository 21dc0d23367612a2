// Stands in for the WS-Discovery search until it is linked in.
#include "core/onvif/OnvifDiscovery.h"

namespace orvanta::onvif {

std::vector<DiscoveredOnvifDevice> SearchOnvifDevices(const OnvifDiscoverySettings&) { return {}; }

std::optional<DiscoveredOnvifDevice> FindOnvifEndpoint(const std::string&, std::chrono::milliseconds,
                                                       const OnvifDiscoverySettings&, std::chrono::milliseconds) {
    return std::nullopt;
}

}  // namespace orvanta::onvif

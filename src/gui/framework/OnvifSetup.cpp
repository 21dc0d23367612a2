#include "gui/framework/OnvifSetup.h"

#include "core/onvif/OnvifDevice.h"

namespace orvanta {

std::string OnvifHost(const onvif::DiscoveredOnvifDevice& device) { return onvif::DeviceFound(device).service.host; }

}  // namespace orvanta

// Stands in for the network ONVIF service until its SOAP client is in this
// tree; removed when it is. Without it the command line has no ONVIF
// service, and ONVIF plan rows end as failed, saying so.
#include "core/onvif/OnvifService.h"

namespace orvanta::onvif {

std::unique_ptr<OnvifService> MakeNetworkOnvifService(const OnvifCallSettings&) { return nullptr; }

}  // namespace orvanta::onvif

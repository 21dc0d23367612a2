// Which camera a call is for, as one value: where its device service
// answers, and what is known of its identity by then (the endpoint
// reference a search heard, the card it answered on, its hardware address
// once read). Made once where the camera is first named, and handed to
// every call, so no caller has to remember to tell the service the
// reference separately, and no call parses the address again.
#pragma once

#include <string>
#include <string_view>

#include "core/onvif/soap/ServiceAddress.h"

namespace orvanta::onvif {

struct OnvifDevice {
    ServiceUrl service;
    // The reference a search heard; a camera that does not tell its own
    // (GetEndpointReference is optional) can still be found again by it.
    std::string endpoint;
    // The PC's card the camera answered on; "" when it was named by hand.
    std::string card;
    // Its hardware address as read before: a call that finds another MAC
    // behind the address refuses to write.
    std::string mac;
};

// The device a search heard: its announced device service on the address
// the answer came from (its reply address on the standard path when it
// announced none we can use), with the reference and card it was heard by.
OnvifDevice DeviceFound(const DiscoveredOnvifDevice& found);

inline OnvifDevice DeviceAt(const ServiceUrl& service, std::string endpoint = {}) {
    OnvifDevice device;
    device.service = service;
    device.endpoint = std::move(endpoint);
    return device;
}

// A device named as the user names one: a device-service URL, "address" or
// "address:port". False with `why` otherwise.
inline bool ParseDevice(std::string_view target, OnvifDevice& out, std::string& why) {
    out = OnvifDevice{};
    return ParseDeviceTarget(target, out.service, why);
}

}  // namespace orvanta::onvif

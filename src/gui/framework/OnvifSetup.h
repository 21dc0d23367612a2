// What the pages of an ONVIF camera's set-up share: the camera chosen in the
// search list, the login, what the camera said when it was read, the change
// the pages build up, and what it reads back after the change. Owned by the
// main window; the pages reach it through their context. Only the user
// interface thread touches it: the worker gets copies.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "core/onvif/device/CardSubnet.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta {

struct OnvifSetup {
    onvif::DiscoveredOnvifDevice device;  // the row chosen in the search list
    onvif::CardSubnet pc;                  // the PC's card it answered on, at the login
    onvif::OnvifCredentials credentials;
    onvif::OnvifDeviceState before;       // read at the login
    // A free address in the PC's subnet proposed after the login (host
    // order), when the walk ran.
    std::optional<uint32_t> proposal;
    onvif::OnvifChange change;            // what the address and clock pages ask for
    onvif::OnvifDeviceState after;        // read back after the change
    onvif::OnvifResult lastResult;        // of the last login or change

    // Endpoint reference -> MAC, for every camera read in this run: the
    // search list fills a row's MAC from here.
    std::map<std::string, std::string> macs;

    // A new camera: everything of the one before goes but the MACs.
    void Choose(const onvif::DiscoveredOnvifDevice& chosen) {
        std::map<std::string, std::string> known = std::move(macs);
        *this = OnvifSetup{};
        macs = std::move(known);
        device = chosen;
    }
};

// The address of the device service the path talks to (onvif::DeviceFound).
std::string OnvifHost(const onvif::DiscoveredOnvifDevice& device);

}  // namespace orvanta

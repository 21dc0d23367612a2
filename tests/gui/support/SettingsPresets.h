// Camera records the tests set up again and again, one function each. Each
// fills only the fields it names, so presets combine and a test overrides
// the one field its case is about.
#pragma once

#include <string>

#include "core/settings/CameraSettings.h"

namespace orvanta::testing {

// The camera the search page picked: its address and mask, and the address
// and web port the camera operations talk to.
void SelectedCamera(CameraSettings& s, const std::string& ip, const std::string& mask = "255.255.255.0",
                    const std::string& port = "80");

// The PC's wired card with a fixed address 192.168.1.10/24, gateway .1 and
// name server .2.
void PcOnFixedWire(CameraSettings& s);

// A wired camera that was read, at 192.168.1.20 in the PC's subnet.
void WiredCameraInHostSubnet(CameraSettings& s);

// A camera that was read, has a wireless card and is to be linked by it.
void WirelessCameraLinked(CameraSettings& s);

}  // namespace orvanta::testing

#include "support/SettingsPresets.h"

#include "core/base/AddressText.h"
#include "core/settings/FixedField.h"

namespace orvanta::testing {

void SelectedCamera(CameraSettings& s, const std::string& ip, const std::string& mask, const std::string& port) {
    // A malformed preset argument leaves 0.0.0.0, which every test notices.
    s.CamAddr = 0;
    s.CamMask = 0;
    ParseIpv4(ip, s.CamAddr);
    ParseIpv4(mask, s.CamMask);
    SetField(s.CamIP, ip);
    SetField(s.CamPort, port);
}

void PcOnFixedWire(CameraSettings& s) {
    SetField(s.HostIP, "192.168.1.10");
    SetField(s.HostMask, "255.255.255.0");
    SetField(s.HostGateway, "192.168.1.1");
    SetField(s.HostDNS, "192.168.1.2");
    s.HostDHCP = 0;
    s.HostNoAddress = 0;
}

void WiredCameraInHostSubnet(CameraSettings& s) {
    PcOnFixedWire(s);
    SelectedCamera(s, "192.168.1.20");
    s.Loaded = 1;
    s.CamWirelessIf = 0;
    s.HasWireless = 0;
    s.LinkWireless = 0;
}

void WirelessCameraLinked(CameraSettings& s) {
    s.Loaded = 1;
    s.HasWireless = 1;
    s.LinkWireless = 1;
}

}  // namespace orvanta::testing

#include "OnvifReach.h"

#include <arpa/inet.h>

#include "core/camera/HttpTransport.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/output/Diagnostics.h"
#include "core/settings/CameraSettings.h"
#include "core/text/AddressText.h"

namespace orvanta::cli {

OnvifReach::OnvifReach(std::string card) : net_(hostnet::MakeLinuxHostNetwork()), card_(std::move(card)) {}

OnvifReach::~OnvifReach() { RemoveAll(); }

void OnvifReach::RemoveAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    hostnet::RemoveTemporaryAddresses(*net_, added_);
}

bool OnvifReach::Ensure(const std::string& address, int prefix, const std::string& port) {
    uint32_t camAddr = 0;
    if (!ParseIpv4(address, camAddr)) return true;  // a host name: the resolver's routes decide
    // The PC itself: no address to add.
    if ((ntohl(camAddr) >> 24) == 127) return true;
    std::lock_guard<std::mutex> lock(mutex_);
    const hostnet::AdapterList list = net_->ListAdapters();
    for (const auto& adapter : list.adapters)
        for (const auto& a : adapter.addresses)
            if (adapter.up && a.mask != 0 && (a.address & a.mask) == (camAddr & a.mask)) return true;
    // Outside every subnet of the PC, but perhaps behind a router.
    TransportSettings quick;
    quick.connectWaitMs = 1000;
    quick.connectAttempts = 1;
    int fd = -1;
    if (ConnectPlain(quick, address.c_str(), port.c_str(), fd) == 0) {
        CloseSocket(fd);
        return true;
    }
    const bool linkLocal = (ntohl(camAddr) >> 16) == 0xa9fe;
    if (prefix <= 0 || prefix > 30) prefix = linkLocal ? 16 : 24;
    CameraSettings s;
    s.CamAddr = camAddr;
    s.CamMask = PrefixMask(prefix);
    if (!card_.empty()) {
        for (const auto& adapter : list.adapters)
            if (adapter.name == card_) s.HostIfIndex = adapter.index;
    }
    if (s.HostIfIndex == 0) hostnet::FindActiveAdapter(s, *net_);
    if (s.HostIfIndex == 0) {
        Diagnostic("ONVIF: no card to give an address beside %s", address.c_str());
        return false;
    }
    Diagnostic("ONVIF: %s lies outside the PC's subnets: adding a temporary address in %s/%d", address.c_str(),
               address.c_str(), prefix);
    return hostnet::EnsureCameraSubnet(s, *net_, added_);
}

}  // namespace orvanta::cli

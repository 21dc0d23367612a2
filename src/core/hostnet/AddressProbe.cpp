#include "core/hostnet/AddressProbe.h"

#include <algorithm>

#include "core/hostnet/HostPartCounter.h"
#include "core/base/AddressText.h"
#include "core/settings/FixedField.h"

namespace orvanta::hostnet {

uint32_t FindFreeAddress(HostNetwork& net, uint32_t start, uint32_t source, uint32_t mask,
                         const std::array<uint8_t, 6>& cameraMac) {
    HostPartCounter counter(mask);
    uint32_t candidate = start;
    int confirmations = 0;
    bool firstPhase = true;
    for (;;) {
        const ArpReply reply = net.SendArp(candidate, source);
        if (reply.status == ArpStatus::NoAnswer) return candidate;
        if (reply.status == ArpStatus::Failed) return start;
        if (firstPhase) {
            if (reply.mac != cameraMac) {
                firstPhase = false;
            } else if (++confirmations >= 3) {
                return candidate;  // the camera's own address
            } else {
                continue;  // ask the same address again
            }
        }
        if (!counter.StepDown()) return start;
        candidate = WithHostPart(candidate, mask, counter.Value());
    }
}

uint32_t FindFreeAddressForCamera(const CameraSettings& settings, HostNetwork& net) {
    uint32_t hostIp = 0, hostMask = 0;
    ParseIpv4(FieldText(settings.HostIP), hostIp);
    ParseIpv4(FieldText(settings.HostMask), hostMask);
    const uint32_t start =
        (settings.CamAddr & settings.CamMask) == (hostIp & hostMask) ? settings.CamAddr : hostIp;
    std::array<uint8_t, 6> mac;
    std::copy(std::begin(settings.CamMAC), std::end(settings.CamMAC), mac.begin());
    return FindFreeAddress(net, start, hostIp, hostMask, mac);
}

bool ProbeAddressInUse(HostNetwork& net, uint32_t target, uint32_t source) {
    return net.SendArp(target, source).status == ArpStatus::Answered;
}

}  // namespace orvanta::hostnet

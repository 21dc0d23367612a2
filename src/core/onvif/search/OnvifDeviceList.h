// What a search has heard, one entry per endpoint reference: a camera
// that answers on two cards, from two addresses, or by a ProbeMatch and a
// Hello, is one camera with every address it offered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/onvif/OnvifTypes.h"
#include "core/onvif/search/ProbeMatchReader.h"

namespace orvanta::onvif {

// Where a message came in (IPv4 values in host order).
struct DiscoveryOrigin {
    std::string card;
    uint32_t localAddress = 0;  // the PC's address on that card
    uint32_t localMask = 0;
    uint32_t from = 0;          // the sender
};

class OnvifDeviceList {
public:
    // Takes in one device of a ProbeMatch or Hello. True when its endpoint
    // was not listed before.
    bool Add(const DiscoveryAnnouncement& device, const DiscoveryOrigin& origin);
    // A Bye: the device is leaving.
    void Remove(const std::string& endpoint);

    // nullptr when not listed. Endpoint references compare without regard
    // to case (a uuid URN is case-insensitive).
    const DiscoveredOnvifDevice* Find(const std::string& endpoint) const;
    // In the order they were first heard.
    const std::vector<DiscoveredOnvifDevice>& Devices() const { return devices_; }

private:
    std::vector<DiscoveredOnvifDevice> devices_;
    std::vector<bool> direct_;  // devices_[i] answered from within its card's subnet
    std::vector<std::string> keys_;  // devices_[i]'s reference in its canonical form
};

// An endpoint reference in the one form it is compared and stored in:
// "urn:uuid:" and the UUID in small letters, whether it came as
// "urn:uuid:C979...", "uuid:c979..." (as many cameras announce it and a
// search prints it) or a bare UUID. Any other URI is kept as it is.
std::string CanonicalEndpoint(std::string_view reference);

// Same endpoint reference once both are in that form (other URIs compare
// without regard to case).
bool SameEndpoint(const std::string& a, const std::string& b);

}  // namespace orvanta::onvif

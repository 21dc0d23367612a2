#include "core/onvif/search/OnvifDeviceList.h"

#include <algorithm>
#include <cctype>
#include <strings.h>

namespace orvanta::onvif {

namespace {

bool InSubnet(const DiscoveryOrigin& o) {
    return o.localMask != 0 && (o.from & o.localMask) == (o.localAddress & o.localMask);
}

void TakeOrigin(DiscoveredOnvifDevice& d, const DiscoveryOrigin& o) {
    d.interfaceName = o.card;
    d.localAddress = o.localAddress;
    d.replyFrom = o.from;
}

void NoteSender(DiscoveredOnvifDevice& d, const DiscoveryOrigin& o) {
    if (o.from != 0 && d.heardFrom.size() < kMaxListItems &&
        std::find(d.heardFrom.begin(), d.heardFrom.end(), o.from) == d.heardFrom.end())
        d.heardFrom.push_back(o.from);
}

// Two references already in canonical form (a URI other than a uuid URN
// keeps its case, and is compared without regard to it).
bool SameKey(const std::string& a, const std::string& b) {
    return !a.empty() && a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

void TakeScopes(DiscoveredOnvifDevice& d, const std::vector<std::string>& scopes) {
    d.scopes = scopes;
    const OnvifScopeFields fields = ReadScopeFields(scopes);
    d.name = fields.name;
    d.hardware = fields.hardware;
    d.location = fields.location;
}

}  // namespace

std::string CanonicalEndpoint(std::string_view reference) {
    while (!reference.empty() && std::isspace(static_cast<unsigned char>(reference.front()))) reference.remove_prefix(1);
    while (!reference.empty() && std::isspace(static_cast<unsigned char>(reference.back()))) reference.remove_suffix(1);
    const auto startsWith = [&](std::string_view prefix) {
        return reference.size() >= prefix.size() && strncasecmp(reference.data(), prefix.data(), prefix.size()) == 0;
    };
    std::string_view uuid;
    if (startsWith("urn:uuid:")) uuid = reference.substr(9);
    else if (startsWith("uuid:")) uuid = reference.substr(5);
    else if (reference.find(':') == std::string_view::npos) uuid = reference;
    else return std::string(reference);
    std::string out = "urn:uuid:";
    for (const char c : uuid) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool SameEndpoint(const std::string& a, const std::string& b) {
    return SameKey(CanonicalEndpoint(a), CanonicalEndpoint(b));
}

bool OnvifDeviceList::Add(const DiscoveryAnnouncement& device, const DiscoveryOrigin& origin) {
    // Each reference is put in its canonical form once, not at every comparison.
    std::string key = CanonicalEndpoint(device.endpoint);
    const auto at = std::find_if(keys_.begin(), keys_.end(), [&](const std::string& k) { return SameKey(k, key); });
    const auto it = devices_.begin() + (at - keys_.begin());
    if (it == devices_.end()) {
        DiscoveredOnvifDevice d;
        d.endpoint = device.endpoint;
        d.xaddrs = device.xaddrs;
        d.metadataVersion = device.metadataVersion;
        TakeScopes(d, device.scopes);
        TakeOrigin(d, origin);
        NoteSender(d, origin);
        if (!origin.card.empty()) d.interfaces.push_back(origin.card);
        devices_.push_back(std::move(d));
        direct_.push_back(InSubnet(origin));
        keys_.push_back(std::move(key));
        return true;
    }
    DiscoveredOnvifDevice& d = *it;
    NoteSender(d, origin);
    for (const std::string& x : device.xaddrs)
        if (d.xaddrs.size() < kMaxListItems && std::find(d.xaddrs.begin(), d.xaddrs.end(), x) == d.xaddrs.end())
            d.xaddrs.push_back(x);
    // Scopes change with the metadata version; an announcement without any
    // (a short Hello) says nothing about them.
    if (!device.scopes.empty() && device.metadataVersion >= d.metadataVersion) TakeScopes(d, device.scopes);
    d.metadataVersion = std::max(d.metadataVersion, device.metadataVersion);
    if (!origin.card.empty() &&
        std::find(d.interfaces.begin(), d.interfaces.end(), origin.card) == d.interfaces.end())
        d.interfaces.push_back(origin.card);
    // The card to reach it through is one it answered on from within that
    // card's own subnet, when there is one: no temporary address needed.
    const std::size_t index = static_cast<std::size_t>(it - devices_.begin());
    if (InSubnet(origin) && !direct_[index]) {
        TakeOrigin(d, origin);
        direct_[index] = true;
        std::stable_partition(d.interfaces.begin(), d.interfaces.end(),
                              [&](const std::string& c) { return c == origin.card; });
    }
    return false;
}

void OnvifDeviceList::Remove(const std::string& endpoint) {
    const std::string key = CanonicalEndpoint(endpoint);
    for (std::size_t i = devices_.size(); i-- > 0;) {
        if (!SameKey(keys_[i], key)) continue;
        devices_.erase(devices_.begin() + static_cast<std::ptrdiff_t>(i));
        direct_.erase(direct_.begin() + static_cast<std::ptrdiff_t>(i));
        keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

const DiscoveredOnvifDevice* OnvifDeviceList::Find(const std::string& endpoint) const {
    const std::string key = CanonicalEndpoint(endpoint);
    for (std::size_t i = 0; i < devices_.size(); ++i)
        if (SameKey(keys_[i], key)) return &devices_[i];
    return nullptr;
}

}  // namespace orvanta::onvif

#include "core/onvif/ClaimCheck.h"

#include <algorithm>

#include "core/text/AddressText.h"

namespace orvanta::onvif {

LinkLookup SystemLinkLookup() {
    return [](const std::string& address, const std::string& card, const std::string& port) {
        const auto net = hostnet::MakeLinuxHostNetwork();
        return hostnet::LinkLayerAddressOf(*net, address, card, port);
    };
}

std::vector<std::string> ClaimantAddresses(const DiscoveredOnvifDevice& d) {
    std::vector<std::string> out;
    for (const uint32_t a : d.heardFrom) out.push_back(FormatIpv4HostOrder(a));
    if (d.replyFrom != 0) {
        const std::string reply = FormatIpv4HostOrder(d.replyFrom);
        if (std::find(out.begin(), out.end(), reply) == out.end()) out.insert(out.begin(), reply);
    }
    return out;
}

std::string AddressListText(const std::vector<std::string>& addresses) {
    std::string out;
    for (std::size_t i = 0; i < addresses.size(); ++i)
        out += (i == 0 ? "" : i + 1 == addresses.size() ? " and " : ", ") + addresses[i];
    return out;
}

std::optional<ServiceUrl> ServiceAnnouncedFrom(const DiscoveredOnvifDevice& d, const std::string& address) {
    const std::vector<std::string> from = ClaimantAddresses(d);
    if (address.empty() || std::find(from.begin(), from.end(), address) == from.end()) return std::nullopt;
    ServiceUrl url;
    for (const std::string& x : d.xaddrs)
        if (ParseServiceUrl(x, url)) break;
    if (url.host.empty()) url = ServiceUrl{};
    url.host = address;
    return url;
}

OnvifResult SoleClaimant(const DiscoveredOnvifDevice& d, ServiceUrl& url) {
    const std::vector<std::string> from = ClaimantAddresses(d);
    if (from.empty()) return {OnvifStatus::BadReply, "the answer for " + d.endpoint + " came from no known address"};
    if (from.size() > 1)
        return {OnvifStatus::Fault, d.endpoint + " answered from " + AddressListText(from) +
                                        ": another device claims to be this camera; name the camera by its address"};
    url = *ServiceAnnouncedFrom(d, from.front());
    return {};
}

}  // namespace orvanta::onvif

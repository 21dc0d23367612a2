#include "core/onvif/search/ClaimCheck.h"

#include <algorithm>

#include "core/base/AddressText.h"

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

namespace {

// Every address answers with the same hardware address: one card.
bool OneCard(const DiscoveredOnvifDevice& d, const std::vector<std::string>& from, const LinkLookup& link) {
    if (!link) return false;
    std::optional<MacAddress> first;
    for (const std::string& address : from) {
        const std::optional<ServiceUrl> url = ServiceAnnouncedFrom(d, address);
        const hostnet::LinkLayerAnswer a = link(address, d.interfaceName, url ? url->port : "80");
        if (a.status != hostnet::LinkLayerStatus::Found || (first && a.mac != *first)) return false;
        first = a.mac;
    }
    return true;
}

}  // namespace

OnvifResult SoleClaimant(const DiscoveredOnvifDevice& d, ServiceUrl& url, const LinkLookup& link) {
    const std::vector<std::string> from = ClaimantAddresses(d);
    if (from.empty()) return {OnvifStatus::BadReply, "the answer for " + d.endpoint + " came from no known address"};
    if (from.size() > 1 && !OneCard(d, from, link))
        return {OnvifStatus::Fault, d.endpoint + " answered from " + AddressListText(from) +
                                        ": another device claims to be this camera; name the camera by its address"};
    // The first is the one the search prefers (in a subnet of the card it
    // came in on, when one is).
    url = *ServiceAnnouncedFrom(d, from.front());
    return {};
}

}  // namespace orvanta::onvif

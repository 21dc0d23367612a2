#include "core/base/Ipv4Address.h"

#include "core/base/AddressText.h"

namespace orvanta {

Ipv4Address Ipv4Address::FromNetworkOrder(uint32_t value) { return Ipv4Address(Ipv4HostOrder(value)); }

std::optional<Ipv4Address> Ipv4Address::Parse(std::string_view text) {
    uint32_t hostOrder = 0;
    if (!ParseIpv4HostOrder(text, hostOrder)) return std::nullopt;
    return Ipv4Address(hostOrder);
}

uint32_t Ipv4Address::NetworkOrder() const { return Ipv4NetworkOrder(value_); }

std::string Ipv4Address::Text() const { return FormatIpv4HostOrder(value_); }

}  // namespace orvanta

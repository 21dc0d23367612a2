#include "core/onvif/search/ProbeCards.h"

#include <arpa/inet.h>

namespace orvanta::onvif {

std::vector<ProbeCard> ProbeCards(const hostnet::AdapterList& adapters, const std::string& onlyCard) {
    std::vector<ProbeCard> cards;
    for (const hostnet::Adapter& a : adapters.adapters) {
        if (!a.up || (!onlyCard.empty() && a.name != onlyCard)) continue;
        for (const hostnet::AdapterAddress& address : a.addresses) {
            const uint32_t host = ntohl(address.address);
            if ((host >> 24) == 127 || host == 0) continue;
            cards.push_back({a.name, a.index, host, ntohl(address.mask)});
        }
    }
    return cards;
}

}  // namespace orvanta::onvif

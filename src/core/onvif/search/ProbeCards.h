// The PC's (card, address) pairs a WS-Discovery probe goes out from: every
// IPv4 address of every card that is up, loopback left out, taken from the
// host-network inventory the rest of the wizard reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/hostnet/HostNetwork.h"

namespace orvanta::onvif {

struct ProbeCard {
    std::string name;
    uint32_t index = 0;
    uint32_t address = 0;  // host order
    uint32_t mask = 0;     // host order
};

// `onlyCard` non-empty: that card's addresses alone.
std::vector<ProbeCard> ProbeCards(const hostnet::AdapterList& adapters, const std::string& onlyCard);

}  // namespace orvanta::onvif

// One camera found by the search, as the fixed-width text record that the
// search page lists and the re-discovery after a save searches by serial,
// and the reply's address, mask and MAC as values, read once, for whoever
// talks to the camera.
#pragma once

#include <cstdint>

#include "core/base/Ipv4Address.h"
#include "core/discovery/DiscoveryReply.h"

namespace orvanta::discovery {

struct DiscoveredCamera {
    char MacText[260];        // "00:0E:53:1A:2B:3C"
    char IpText[260];         // dotted quad
    char PortText[260];       // web port, "%d"
    char DescInterface[32];   // "<description>/<interface>", cut to 31 bytes
    char SerialNo[260];
    char SportText[260];      // second port, "%d"
    char MaskText[16];        // "0.0.0.0" when the camera sent none
    char FourthText[260];     // carried, never shown
    Ipv4Address address;      // as the reply carries it
    // The reply's mask text read; all ones when it is no address.
    Ipv4Address mask;
    uint8_t mac[6];
};

// Fills `out` from an accepted reply's payload, every field rewritten.
void FormatDiscoveredCamera(const ReplyPayload& payload, DiscoveredCamera& out);

}  // namespace orvanta::discovery

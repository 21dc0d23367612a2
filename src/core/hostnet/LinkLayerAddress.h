// Which card is at an IPv4 address, told by the link layer rather than by
// anything the device says about itself: the kernel's neighbour entry
// (after an exchange that makes the kernel resolve it, or the ARP request
// the device sent to answer us), else an ARP request through the helper
// from the card the device was heard on. Nothing is sent to the device
// but a TCP connect and an ARP request: no credentials, no request a
// neighbour could relay. A device beyond a router has no such address to
// see, and is said to be routed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/hostnet/HostNetwork.h"
#include "core/base/MacAddress.h"

namespace orvanta::hostnet {

enum class LinkLayerStatus {
    Found,     // `mac` is the hardware address the address resolves to
    Routed,    // outside every subnet of the PC's cards and not on a card's link
    NoAnswer,  // on a card's link, but nothing answered for it
};

struct LinkLayerAnswer {
    LinkLayerStatus status = LinkLayerStatus::NoAnswer;
    MacAddress mac;
    std::string detail;  // for a diagnostic line
};

// The complete entry for `address` (network order) in a /proc/net/arp
// table; `card` "" for any card. nullopt when the table has none (an
// incomplete entry is none: nothing answered the kernel's request).
std::optional<MacAddress> NeighbourEntry(std::string_view arpTable, uint32_t address, const std::string& card = "");

// The kernel's neighbour table as /proc/net/arp prints it ("" when it
// cannot be read). It needs no privilege.
std::string ReadNeighbourTable();

// How the lookup reaches the system, so tests can script it.
struct LinkLayerProbe {
    std::function<std::string()> neighbours = ReadNeighbourTable;
    // Makes the kernel resolve `address` when it lies in a subnet of a
    // card (default: a TCP connect to `port` of at most half a second,
    // closed at once).
    std::function<void(const std::string& address, const std::string& port)> touch;
};

// `card`: the card the device was heard on ("" when unknown); `port`: one
// the device listens on, for the connect that makes the kernel resolve it.
LinkLayerAnswer LinkLayerAddressOf(HostNetwork& net, const std::string& address, const std::string& card,
                                   const std::string& port, const LinkLayerProbe& probe = {});

}  // namespace orvanta::hostnet

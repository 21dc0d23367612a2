#include "core/hostnet/LinkLayerAddress.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/http/HttpTransport.h"
#include "core/base/AddressText.h"

namespace orvanta::hostnet {

namespace {

// ATF_COM: the entry is complete (the kernel holds a hardware address).
constexpr unsigned kComplete = 0x2;

void TouchByConnect(const std::string& address, const std::string& port) {
    TransportSettings quick;
    quick.connectWaitMs = 500;
    quick.connectAttempts = 1;
    int fd = -1;
    // Refused or accepted, the kernel had to resolve the address to try.
    if (ConnectPlain(quick, Deadline::After(quick.connectWaitMs), address.c_str(), port.c_str(), fd) == 0)
        CloseSocket(fd);
}

struct CardOnLink {
    const Adapter* adapter = nullptr;
    uint32_t source = 0;  // the PC's address on it (network order)
    bool inSubnet = false;
};

// The card the address is on: the one whose subnet holds it, else the
// card it was heard on (a device may answer from outside the card's
// subnet and still be on its link: a camera still on its factory
// address, or one that just took a new one).
CardOnLink FindCard(const AdapterList& list, uint32_t address, const std::string& card) {
    CardOnLink out;
    for (const Adapter& a : list.adapters) {
        if (!a.up) continue;
        for (const AdapterAddress& own : a.addresses)
            if (own.mask != 0 && (own.address & own.mask) == (address & own.mask)) return {&a, own.address, true};
    }
    for (const Adapter& a : list.adapters)
        if (a.up && a.name == card && !a.addresses.empty()) out = {&a, a.addresses.front().address, false};
    return out;
}

}  // namespace

std::optional<MacAddress> NeighbourEntry(std::string_view arpTable, uint32_t address, const std::string& card) {
    std::istringstream lines{std::string(arpTable)};
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string ip, type, flags, hw, mask, device;
        if (!(fields >> ip >> type >> flags >> hw >> mask >> device)) continue;
        uint32_t entry = 0;
        if (!ParseIpv4(ip, entry) || entry != address) continue;
        if (!card.empty() && device != card) continue;
        if ((std::strtoul(flags.c_str(), nullptr, 16) & kComplete) == 0) continue;
        const auto mac = MacAddress::Parse(hw);
        if (mac && !mac->IsZero()) return mac;
    }
    return std::nullopt;
}

std::string ReadNeighbourTable() {
    std::ifstream in("/proc/net/arp");
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

LinkLayerAnswer LinkLayerAddressOf(HostNetwork& net, const std::string& address, const std::string& card,
                                   const std::string& port, const LinkLayerProbe& probe) {
    uint32_t target = 0;
    if (!ParseIpv4(address, target)) return {LinkLayerStatus::Routed, {}, address + " is not an IPv4 address"};
    const auto fromTable = [&]() -> std::optional<MacAddress> {
        return probe.neighbours ? NeighbourEntry(probe.neighbours(), target) : std::nullopt;
    };
    const AdapterList list = net.ListAdapters();
    const CardOnLink on = FindCard(list, target, card);
    if (on.inSubnet) {
        // What the kernel last knew may be old: ask it afresh first.
        if (probe.touch) probe.touch(address, port);
        else TouchByConnect(address, port);
    }
    if (const auto mac = fromTable()) return {LinkLayerStatus::Found, *mac, "neighbour entry"};
    if (on.adapter == nullptr)
        return {LinkLayerStatus::Routed, {}, address + " lies beyond a router: no hardware address can be seen"};
    const ArpReply arp = net.SendArp(target, on.source);
    if (arp.status == ArpStatus::Answered) return {LinkLayerStatus::Found, MacAddress(arp.mac), "ARP answer"};
    if (arp.status == ArpStatus::NoAnswer)
        return {on.inSubnet ? LinkLayerStatus::NoAnswer : LinkLayerStatus::Routed, {},
                "nothing answered an ARP request for " + address + " on " + on.adapter->name};
    return {on.inSubnet ? LinkLayerStatus::NoAnswer : LinkLayerStatus::Routed, {},
            "no ARP request could be sent for " + address + ": " + arp.text};
}

}  // namespace orvanta::hostnet

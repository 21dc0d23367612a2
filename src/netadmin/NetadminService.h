// The privileged helper's work: one validated request in, one answer line
// out, for the single interface named when the helper started.
//
// What keeps it from being turned against the network, whoever runs it:
// it serves only an Ethernet-like card that is up (never loopback); it adds
// only the private addresses the request rules allow, at most
// kMaxHeldAliases at once, and only after its own ARP probe found nobody
// holding the address; ARP requests speak only from the card's own
// addresses; every ARP it sends is paced by one rate limit; and the aliases
// it added are removed again when its caller goes away (RemoveOwnAliases).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/hostnet/NetadminRequest.h"
#include "core/hostnet/linux/ArpSocket.h"
#include "core/hostnet/linux/NetlinkSocket.h"

namespace orvanta::netadmin {

// Aliases carrying the helper's mark that may be on the PC at one time,
// counted over every interface and every running helper.
constexpr int kMaxHeldAliases = 4;
// How long the probe before an add listens for an owner of the address.
constexpr int kAddProbeWaitMs = 600;
// ARP pacing: a burst of kArpBurst, then kArpPerSecond.
constexpr int kArpBurst = 10;
constexpr int kArpPerSecond = 10;

class NetadminService {
public:
    explicit NetadminService(std::string ifname);

    // The answer line (without newline) for one request line.
    std::string Handle(std::string_view line);

    // The caller closed its end: every alias this process added and that is
    // still on the card goes. Returns how many were removed.
    int RemoveOwnAliases();

private:
    std::string Add(const hostnet::NetadminRequest& req);
    std::string Del(const hostnet::NetadminRequest& req);
    std::string Probe(const hostnet::NetadminRequest& req);
    std::string Arp(const hostnet::NetadminRequest& req);
    // Empty when the ARP socket is ready, else the error answer.
    std::string OpenArp();
    // Looks the interface up afresh (index, MAC) and checks it is one the
    // helper may serve: empty when it is, else the error answer. Removal
    // works on a card that went down, so the aliases can still go.
    std::string Resolve(bool mustBeUp);
    // Waits until the rate limit allows one more ARP packet.
    void PaceArp();
    int Delete(uint32_t address, int prefix, std::string* extack);
    void Log(const char* what, uint32_t address, int prefix);

    struct Held {
        uint32_t address;
        int prefix;
    };

    std::string ifname_;
    uint32_t ifIndex_ = 0;
    std::array<uint8_t, 6> mac_{};
    bool hasNetAdmin_ = false;
    bool hasNetRaw_ = false;
    hostnet::NetlinkSocket netlink_;
    hostnet::ArpSocket arp_;
    bool arpOpen_ = false;
    std::vector<Held> held_;  // added by this process and not removed yet
    double arpTokens_ = kArpBurst;
    std::chrono::steady_clock::time_point arpRefilled_ = std::chrono::steady_clock::now();
};

}  // namespace orvanta::netadmin

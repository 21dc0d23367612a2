// The privileged helper's work: one validated request in, one answer line
// out, for the single interface named when the helper started.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/hostnet/NetadminRequest.h"
#include "core/hostnet/linux/ArpSocket.h"
#include "core/hostnet/linux/NetlinkSocket.h"

namespace orvanta::netadmin {

class NetadminService {
public:
    explicit NetadminService(std::string ifname);

    // The answer line (without newline) for one request line.
    std::string Handle(std::string_view line);

private:
    std::string Add(const hostnet::NetadminRequest& req);
    std::string Del(const hostnet::NetadminRequest& req);
    std::string Probe(const hostnet::NetadminRequest& req);
    std::string Arp(const hostnet::NetadminRequest& req);
    // Empty when the ARP socket is ready, else the error answer.
    std::string OpenArp();
    bool Resolve();  // the interface's index and MAC, looked up afresh

    std::string ifname_;
    uint32_t ifIndex_ = 0;
    std::array<uint8_t, 6> mac_{};
    bool hasNetAdmin_ = false;
    bool hasNetRaw_ = false;
    hostnet::NetlinkSocket netlink_;
    hostnet::ArpSocket arp_;
    bool arpOpen_ = false;
};

}  // namespace orvanta::netadmin

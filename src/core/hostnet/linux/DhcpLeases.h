// Whether an interface took its address by DHCP, and from which server,
// read from the lease files of the DHCP clients Linux desktops use.
#pragma once

#include <cstdint>
#include <string>

#include "core/hostnet/linux/LinuxPaths.h"

namespace orvanta::hostnet {

struct DhcpLease {
    bool found = false;
    uint32_t address = 0;  // the leased address, 0 when the file omits it
    uint32_t server = 0;   // the DHCP server, 0 when unknown
};

DhcpLease FindDhcpLease(const LinuxPaths& paths, uint32_t ifIndex, const std::string& ifname);

}  // namespace orvanta::hostnet

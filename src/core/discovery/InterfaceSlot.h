// One local IPv4 address of the PC and the receive socket opened for it.
#pragma once

#include <cstdint>

namespace orvanta::discovery {

struct InterfaceSlot {
    int socket = -1;              // -1 while closed or when opening failed
    uint32_t localAddress = 0;    // network byte order
    uint32_t broadcastAddress = 0;  // network byte order, all ones
    uint32_t port = 0;            // only the low 16 bits are used
};

}  // namespace orvanta::discovery

// The discovery client's sockets on the real network: UDP, non-blocking,
// waited on with poll.
#pragma once

#include "core/discovery/DiscoveryTransport.h"

namespace orvanta::discovery {

class PosixDiscoveryTransport : public DiscoveryTransport {
public:
    // `receiveBufferBytes`: the receive buffer asked for on each receive
    // socket (0 leaves the system's default).
    explicit PosixDiscoveryTransport(int receiveBufferBytes) : receiveBufferBytes_(receiveBufferBytes) {}

    int OpenReceiveSocket(uint16_t port) override;
    void Close(int handle) override;
    SendResult SendBroadcast(uint32_t addressNetOrder, uint16_t port, const uint8_t* data,
                             std::size_t length) override;
    int Wait(const std::vector<int>& handles, int timeoutMicroseconds,
             std::vector<bool>& readable) override;
    long Receive(int handle, uint8_t* buffer, std::size_t capacity) override;

private:
    int receiveBufferBytes_;
};

}  // namespace orvanta::discovery

// The discovery client's sockets on the real network: UDP, non-blocking.
// Each receive socket is drained by a DiscoveryReceiver thread from the
// moment it is opened, so a burst of replies is read as fast as it arrives,
// however seldom the client itself comes to read; waits and reads take the
// datagrams from that receiver's queue.
#pragma once

#include "core/discovery/DiscoveryReceiver.h"
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

    // Datagrams dropped because a receive queue was full.
    uint64_t Dropped() const { return receiver_.Dropped(); }

private:
    int receiveBufferBytes_;
    DiscoveryReceiver receiver_;
};

}  // namespace orvanta::discovery

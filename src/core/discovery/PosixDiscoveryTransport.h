// The discovery client's sockets on the real network: UDP, non-blocking.
// Each receive socket is drained by a DiscoveryReceiver thread from the
// moment it is opened, so a burst of replies is read as fast as it arrives,
// however seldom the client itself comes to read; waits and reads take the
// datagrams from that receiver's queue.
#pragma once

#include <string>

#include "core/discovery/DiscoveryReceiver.h"
#include "core/discovery/DiscoveryTransport.h"

namespace orvanta::discovery {

class PosixDiscoveryTransport : public DiscoveryTransport {
public:
    // How the last SendBroadcast went: on how many (card, address) pairs it
    // tried and how many sends went out; the card and errno of the last
    // failure (errno 0 with an empty card: no card was up at all).
    struct SendReport {
        int tried = 0;
        int sent = 0;
        std::string failedCard;
        int error = 0;
        bool EveryCardFailed() const { return sent == 0; }
    };

    // `receiveBufferBytes`: the receive buffer asked for on each receive
    // socket (0 leaves the system's default). `onlyCard`: send through this
    // interface alone; empty: through every card that is up.
    explicit PosixDiscoveryTransport(int receiveBufferBytes, std::string onlyCard = {})
        : receiveBufferBytes_(receiveBufferBytes), onlyCard_(std::move(onlyCard)) {}

    int OpenReceiveSocket(uint16_t port) override;
    void Close(int handle) override;
    // Sends the datagram out of every up, non-loopback IPv4 card, once per
    // address of the card; Sent when at least one send went out.
    SendResult SendBroadcast(uint32_t addressNetOrder, uint16_t port, const uint8_t* data,
                             std::size_t length) override;
    int Wait(const std::vector<int>& handles, int timeoutMicroseconds,
             std::vector<bool>& readable) override;
    long Receive(int handle, uint8_t* buffer, std::size_t capacity) override;

    const SendReport& LastSend() const { return lastSend_; }

    // Datagrams dropped because a receive queue was full.
    uint64_t Dropped() const { return receiver_.Dropped(); }

private:
    int receiveBufferBytes_;
    std::string onlyCard_;
    SendReport lastSend_;
    DiscoveryReceiver receiver_;
};

}  // namespace orvanta::discovery

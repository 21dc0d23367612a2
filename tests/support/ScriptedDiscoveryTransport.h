// An in-memory network for the discovery client's tests and the search
// page's tests: no socket is opened and nothing is sent. Datagrams the test
// queues are delivered to every open receive handle, as a broadcast reply
// reaches every socket bound to the port. Waits return at once.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "core/discovery/DiscoveryTransport.h"

namespace orvanta::discovery {

class ScriptedDiscoveryTransport : public DiscoveryTransport {
public:
    // Queues one datagram on every receive handle open now.
    void Deliver(const std::vector<uint8_t>& datagram);

    // What the client did, for the test to check.
    int requestsSent = 0;
    int opened = 0;
    std::vector<uint8_t> lastRequest;
    // Failures to script.
    bool failOpen = false;
    bool failWait = false;
    SendResult sendResult = Sent;

    int OpenReceiveSocket(uint16_t port) override;
    void Close(int handle) override;
    SendResult SendBroadcast(uint32_t addressNetOrder, uint16_t port, const uint8_t* data,
                             std::size_t length) override;
    int Wait(const std::vector<int>& handles, int timeoutMicroseconds,
             std::vector<bool>& readable) override;
    long Receive(int handle, uint8_t* buffer, std::size_t capacity) override;

    std::size_t OpenHandles() const { return queues_.size(); }

private:
    int nextHandle_ = 100;
    std::map<int, std::deque<std::vector<uint8_t>>> queues_;
};

}  // namespace orvanta::discovery

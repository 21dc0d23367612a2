// The socket operations of the discovery client, behind an interface so that
// tests and the page's tests drive the client with scripted datagrams instead
// of the host's network.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvanta::discovery {

class DiscoveryTransport {
public:
    virtual ~DiscoveryTransport() = default;

    // A non-blocking receive socket on the wildcard address at `port`, with
    // address reuse and broadcast allowed. Returns a handle, or -1.
    virtual int OpenReceiveSocket(uint16_t port) = 0;
    virtual void Close(int handle) = 0;

    enum SendResult { Sent = 0, OpenFailed = -1, SendFailed = -2 };
    // Sends one datagram from a fresh, unbound broadcast socket.
    virtual SendResult SendBroadcast(uint32_t addressNetOrder, uint16_t port, const uint8_t* data,
                                     std::size_t length) = 0;

    // Waits at most `timeoutMicroseconds` until one of `handles` can be read;
    // sets readable[i] for each. Returns the number readable, or -1.
    virtual int Wait(const std::vector<int>& handles, int timeoutMicroseconds,
                     std::vector<bool>& readable) = 0;

    // Reads one waiting datagram into `buffer`. Returns its full length (more
    // than `capacity` when it did not fit; the rest is lost), or -1 when none
    // is waiting or the read failed.
    virtual long Receive(int handle, uint8_t* buffer, std::size_t capacity) = 0;
};

}  // namespace orvanta::discovery

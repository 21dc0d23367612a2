// TCP transport to the camera: name resolution, a short connect that a
// closing window can cancel, one send, and reading the reply until the
// camera closes the connection, the reply is as long as its header says, or
// (without a length) the camera falls quiet after the body (bounded by the
// receive limit). Every call takes the limits it waits by and the caller's
// deadline: each wait is the shorter of its own limit and the time left to
// the deadline (a connect: the connect limit or the deadline, the earlier
// wins), as curl counts every wait down from one start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/base/Deadline.h"
#include "core/http/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// Reads and writes `KeepConnecting` atomically: the user-interface thread
// clears it while a worker may be connecting.
bool KeepConnectingNow(const CameraSettings& settings);
void SetKeepConnecting(CameraSettings& settings, bool keep);

// IPv4 address in network byte order of a host name or dotted address, none
// when it cannot be resolved. An empty or null name means 127.0.0.1.
std::optional<uint32_t> ResolveHost(const char* name);

// 0 when a TCP connection to host:port opened within the probe time, else -1.
int ProbeInternet(const TransportSettings& limits, const char* host, int port);

// Connects to host:port (port as decimal text). On success returns 0 and puts
// a connected blocking socket into `socketOut` (the caller closes it with
// CloseSocket); returns -1 otherwise. Gives up as soon as `KeepConnecting`
// of the record is 0, also before the connect starts.
int ConnectCamera(const TransportSettings& limits, const Deadline& deadline, const CameraSettings& settings, const char* host,
                  const char* port, int& socketOut);

// The same connect without the cancel flag (listing server).
int ConnectPlain(const TransportSettings& limits, const Deadline& deadline, const char* host, const char* port, int& socketOut);

// Sends `length` bytes of `request` with one send call; returns the count
// sent, 0 when nothing could be sent.
int SendHttpRequest(const TransportSettings& limits, const Deadline& deadline, int socket, const char* request, std::size_t length);

// Why reading a reply stopped.
enum class ReceiveEnd {
    Closed,        // the peer closed the connection (or reset it)
    Complete,      // the length announced by the reply's header has arrived
    Quiet,         // no length announced; the body had begun, then replyQuietMs passed without a byte
    BufferFull,    // the buffer is full; the rest is left unread
    RequestLimit,  // the receive limit of one reply passed
    OverallLimit,  // the caller's deadline passed
    Cancelled,     // `KeepConnecting` of the record was cleared
    Failed,        // waiting on the socket failed
};

struct ReceivedReply {
    std::size_t length = 0;
    ReceiveEnd end = ReceiveEnd::Closed;
    // What arrived ends inside the status line or header block, or short of
    // the length the header announced: certainly not the whole reply.
    bool cutShort = false;
};

// Reads the reply into `buffer` until one of the ReceiveEnd reasons. `buffer`
// must hold capacity + 1 bytes: the reply is always terminated. With a
// record, clearing its `KeepConnecting` stops the wait within one slice.
ReceivedReply ReceiveReply(const TransportSettings& limits, const Deadline& deadline, int socket, char* buffer, std::size_t capacity,
                           const CameraSettings* cancel = nullptr);

// The byte count of ReceiveReply (0 when none), whatever ended it.
int ReceiveHttpResponse(const TransportSettings& limits, const Deadline& deadline, int socket, char* buffer, std::size_t capacity);

void CloseSocket(int socket);

}  // namespace orvanta

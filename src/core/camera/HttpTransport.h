// TCP transport to the camera: name resolution, a short connect that a
// closing window can cancel, one send, and reading the reply until the
// camera closes the connection (bounded by the receive limit).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/settings/CameraSettings.h"

namespace orvanta {

// Reads and writes `KeepConnecting` atomically: the user-interface thread
// clears it while a worker may be connecting.
bool KeepConnectingNow(const CameraSettings& settings);
void SetKeepConnecting(CameraSettings& settings, bool keep);

// IPv4 address in network byte order of a host name or dotted address, 0 when
// it cannot be resolved. An empty or null name means 127.0.0.1.
uint32_t ResolveHost(const char* name);

// 0 when a TCP connection to host:port opened within the probe time, else -1.
int ProbeInternet(const char* host, int port);

// Connects to host:port (port as decimal text). On success returns 0 and puts
// a connected blocking socket into `socketOut` (the caller closes it with
// CloseSocket); returns -1 otherwise. Gives up as soon as `KeepConnecting`
// of the record is 0, also before the connect starts.
int ConnectCamera(const CameraSettings& settings, const char* host, const char* port, int& socketOut);

// The same connect without the cancel flag (listing server).
int ConnectPlain(const char* host, const char* port, int& socketOut);

// Sends `length` bytes of `request` with one send call; returns the count
// sent, 0 when nothing could be sent.
int SendHttpRequest(int socket, const char* request, std::size_t length);

// Reads the reply into `buffer` until the peer closes, the buffer is full or
// the receive limit passes. `buffer` must hold capacity + 1 bytes: the reply
// is always terminated. Returns the byte count (0 when none).
int ReceiveHttpResponse(int socket, char* buffer, std::size_t capacity);

void CloseSocket(int socket);

}  // namespace orvanta

// A camera's web server on 127.0.0.1 for tests: a listening socket on an
// ephemeral port and one thread that serves the connections one after
// another, each with a scripted turn (or the turn a handler picks for the
// request). The thread waits only on its sockets and a stop pipe, so the
// destructor ends it at once, whatever the turn is doing, and joins it.
//
// The socket listens until the object goes: connections beyond the scripted
// turns are accepted by the kernel but never answered, and once the object
// is gone its port refuses (a closed port for tests that need one).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/settings/CameraSettings.h"

namespace orvanta {

class LoopbackCamera {
public:
    struct Turn {
        std::string reply;
        bool holdOpen = false;  // after the reply, keep the connection until the client closes it
        int dripMs = 0;         // send the reply a byte at a time, this far apart
        std::size_t cutAt = std::string::npos;  // close after this many bytes of the reply
        bool stall = false;                     // reply only once Release() is called
        std::size_t pauseAt = std::string::npos;  // after this many bytes of the reply ...
        int pauseMs = 0;                          // ... wait this long before the rest
    };
    using Handler = std::function<Turn(const std::string& request)>;

    // Listening, answering nobody.
    LoopbackCamera() : LoopbackCamera(std::vector<Turn>{}) {}
    // One connection per turn, in order.
    explicit LoopbackCamera(std::vector<Turn> turns);
    // Every connection, with the turn the handler returns for its request
    // (called on the server's thread).
    explicit LoopbackCamera(Handler handler);
    ~LoopbackCamera();
    LoopbackCamera(const LoopbackCamera&) = delete;
    LoopbackCamera& operator=(const LoopbackCamera&) = delete;

    // 0 when the socket could not be set up.
    uint16_t Port() const { return port_; }
    std::string PortText() const { return std::to_string(port_); }
    // Points the record's camera address and port here.
    void Aim(CameraSettings& s) const;

    // The requests received so far, whole or as far as they came.
    std::vector<std::string> Requests() const;
    std::size_t RequestCount() const;
    // True once `count` requests have come, false when `limit` passed first.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds limit) const;
    // Lets stalled turns reply, now and from here on.
    void Release();

private:
    void Listen();
    void Serve();
    void ServeOne(int client, std::size_t index);
    std::string ReadRequest(int client) const;
    void Reply(int client, const Turn& turn) const;
    enum class Wake { Ready, TimedOut, Stopped };
    // Waits for `events` on `fd` (-1: none, just the time), at most
    // `timeoutMs` (-1: no limit); a stop ends every wait.
    Wake WaitFor(int fd, short events, int timeoutMs) const;

    std::vector<Turn> turns_;
    Handler handler_;
    int listenFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    int releasePipe_[2] = {-1, -1};
    uint16_t port_ = 0;

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<std::string> requests_;

    std::thread thread_;
};

}  // namespace orvanta

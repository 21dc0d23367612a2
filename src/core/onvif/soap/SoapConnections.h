// The connections one camera kept open after a reply (HTTP/1.1 keeps a
// connection unless either side says otherwise), for the next call to the
// same service to reuse: over a VPN or a slow link a connection costs a
// round trip of its own. Never more idle ones than calls ran at once; a
// connection the camera closed meanwhile is found out on use and the call
// goes out on a fresh one.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace orvanta::onvif {

class SoapConnections {
public:
    SoapConnections() = default;
    ~SoapConnections();
    SoapConnections(const SoapConnections&) = delete;
    SoapConnections& operator=(const SoapConnections&) = delete;

    // An idle connection to host:port, or -1 (the caller connects).
    int Take(const std::string& host, const std::string& port);
    // Back after a whole reply that leaves the connection open.
    void Give(const std::string& host, const std::string& port, int fd);

private:
    std::mutex mutex_;
    std::vector<std::pair<std::string, int>> idle_;  // ("host:port", socket)
};

}  // namespace orvanta::onvif

// The simulated camera's web side: HTTP/1.0, one request per connection,
// each connection served on a thread of its own.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "CameraPages.h"
#include "CameraStore.h"
#include "CamsimOptions.h"
#include "ThreadGroup.h"

namespace orvanta::camsim {

struct WebConfig {
    int port = 80;
    std::string bind;  // empty: every address
    std::string rootUser = "root";
    bool passwordSet = false;
    std::string rootPassword;
    std::string misbehave;
    std::string misbehavePath;
    int dripMs = 5;
    std::string iface;
    int readdressDelayMs = 500;
    std::string requestLog;
    bool contentLength = true;
    std::string configPath;
    std::vector<AccessPoint> accessPoints;
    int wpsAfter = 3;  // < 0: never
};

class WebServer {
public:
    WebServer() = default;
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // The steps every side takes (see CamsimSides.h).
    int Parse(const CamsimOptions& options);
    int SetUp();
    int Serve(const std::atomic<bool>& stop);

private:
    WebConfig config_;
    CameraStore store_;
    std::optional<CameraPages> pages_;
    int listener_ = -1;
    // Declared last, so its threads are joined before the objects they use go.
    ThreadGroup threads_;
};

std::string WebServerUsage();

}  // namespace orvanta::camsim

// What the simulated camera answers to each request target: the parameter
// pages, the writes, the access point scan and WPS. Transport, login checks
// and misbehaviour are the web server's part.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "CameraStore.h"

namespace orvanta::camsim {

struct AccessPoint {
    std::string ssid, mac, mode, channel, quality, security, algorithm;
};

// "SSID,MAC,Mode,Channel,Quality,Security[,Algorithm]"; false when short.
bool ParseAccessPoint(const std::string& text, AccessPoint& ap);

class CameraPages {
public:
    CameraPages(CameraStore& store, std::vector<AccessPoint> accessPoints, int wpsAfterQueries);

    // Called after a network write that moves the camera to a new fixed address.
    using ReaddressHandler = std::function<void(const std::string& oldAddress, const std::string& oldNetmask,
                                                const std::string& address, const std::string& netmask)>;
    void OnReaddress(ReaddressHandler handler) {
        readdress_ = std::move(handler);
    }

    struct Reply {
        int status = 200;       // 200 or 404
        std::string body;
    };
    // `target` is the request's path and query as it came on the wire.
    Reply Handle(const std::string& target, bool omitWpaKeyMode);

private:
    std::string Lines(const std::vector<std::string>& keys) const;
    std::string ScanReply() const;
    Reply Write(const std::map<std::string, std::string>& query, const std::vector<std::string>& allowed, bool network);

    CameraStore& store_;
    std::vector<AccessPoint> aps_;
    int wpsAfter_;  // status queries until success; < 0 never
    std::mutex wpsMutex_;
    bool wpsStarted_ = false;
    int wpsQueries_ = 0;
    ReaddressHandler readdress_;
};

}  // namespace orvanta::camsim

// The simulated camera's discovery side: answers every search request on UDP
// 49160 with a reply broadcast to 255.255.255.255:49160.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "CamsimOptions.h"

namespace orvanta::camsim {

class DiscoveryResponder {
public:
    DiscoveryResponder();
    ~DiscoveryResponder();
    DiscoveryResponder(const DiscoveryResponder&) = delete;
    DiscoveryResponder& operator=(const DiscoveryResponder&) = delete;

    // The steps every side takes (see CamsimSides.h).
    int Parse(const CamsimOptions& options);
    int SetUp();
    int Serve(const std::atomic<bool>& stop);

private:
    struct Config;
    std::unique_ptr<Config> config_;
    int fd_ = -1;
};

std::string DiscoveryResponderUsage();

}  // namespace orvanta::camsim

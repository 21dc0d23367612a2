// What the main window keeps from the last good camera read for the pages
// that come later: the camera's access point scan (for the scan page) and
// the free address the ARP walk proposed (for the quick IP page). Both are
// replaced only when a read ends well, or by a new scan on the spot.
#pragma once

#include <optional>
#include <vector>

#include "core/base/Ipv4Address.h"
#include "core/camera/AccessPointScan.h"

namespace orvanta {

struct KeptCameraResults {
    std::vector<AccessPointEntry> accessPoints;
    // The walk's answer; none when it did not run (0.0.0.0 when it found
    // no free address).
    std::optional<Ipv4Address> proposal;

    void Clear() {
        accessPoints.clear();
        proposal.reset();
    }
};

}  // namespace orvanta

// What the main window keeps from the last good camera read for the pages
// that come later: the camera's access point scan (for the scan page) and
// the free address the ARP walk proposed (for the quick IP page). Both are
// replaced only when a read ends well, or by a new scan on the spot.
#pragma once

#include <cstdint>
#include <vector>

#include "core/camera/AccessPointScan.h"

namespace orvanta {

struct KeptCameraResults {
    std::vector<AccessPointEntry> accessPoints;
    bool hasProbeResult = false;
    uint32_t probeResult = 0;  // network byte order

    void Clear() {
        accessPoints.clear();
        hasProbeResult = false;
        probeResult = 0;
    }
    // The proposal cell as the quick IP page takes it: null when none.
    const uint32_t* ProbeCell() const { return hasProbeResult ? &probeResult : nullptr; }
};

}  // namespace orvanta

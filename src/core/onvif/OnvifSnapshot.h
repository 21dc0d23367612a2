// A still picture of what an ONVIF camera sees, as the camera gave it, so
// the installer can tell which camera on a site this is.
#pragma once

#include <cstddef>
#include <string>

namespace orvanta::onvif {

// Larger than any still a camera sends (a 4K JPEG at high quality is a
// few megabytes), small enough that a camera streaming endless bytes at
// the snapshot address cannot fill the PC's memory.
inline constexpr std::size_t kMaxSnapshotBytes = 8u << 20;

struct OnvifSnapshot {
    std::string uri;       // where the camera said the picture is (as it said it)
    std::string fetchedFrom;  // where it was actually fetched (always the camera's own host)
    std::string jpeg;      // the JPEG file, whole: SOI to EOI
    int width = 0;         // from the frame header; 0 when unknown
    int height = 0;
};

}  // namespace orvanta::onvif

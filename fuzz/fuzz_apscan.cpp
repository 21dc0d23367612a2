// Any bytes as an access point scan reply.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "core/camera/AccessPointScan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orvanta::CameraSettings s;
    std::vector<orvanta::AccessPointEntry> list;
    const bool ok = orvanta::ParseAccessPointReply(s, std::string_view(reinterpret_cast<const char*>(data), size), list);
    // The list matches the count, which never exceeds the cap.
    if (ok && (list.size() != s.APCount || s.APCount > orvanta::kMaxAccessPoints)) __builtin_trap();
    if (!ok && (!list.empty() || s.APScanOK != 0)) __builtin_trap();
    for (const auto& e : list)
        if (strnlen(e.SSID, sizeof e.SSID) == sizeof e.SSID || strnlen(e.Mode, sizeof e.Mode) == sizeof e.Mode)
            __builtin_trap();
    return 0;
}

// Any bytes as a camera's parameter reply, for every group: the checks and
// the parser must stay inside their fields and keep every text terminated.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/camera/CameraRequest.h"
#include "core/camera/ParameterParser.h"
#include "core/camera/WpsRequest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    orvanta::CameraSettings s;
    using orvanta::ParameterGroup;
    for (const ParameterGroup group : {ParameterGroup::Sysinfo, ParameterGroup::Network, ParameterGroup::Ddns,
                                       ParameterGroup::Version, ParameterGroup::Capabilities, ParameterGroup::NatStatus,
                                       ParameterGroup::Time}) {
        orvanta::CheckReply(reply, true, group == ParameterGroup::Network);
        orvanta::ParseParameters(s, reply, group);
    }
    orvanta::ParseWpsStatus(s, reply);
    // Every text field stays terminated within its width.
    if (strnlen(s.SSID, sizeof s.SSID) == sizeof s.SSID || strnlen(s.WPAKey, sizeof s.WPAKey) == sizeof s.WPAKey ||
        strnlen(s.ModelName, sizeof s.ModelName) == sizeof s.ModelName)
        __builtin_trap();
    return 0;
}

// The WS-Discovery reader against arbitrary bytes: whatever a network
// delivers to port 3702 or to a probe socket is read or refused without
// reading outside the buffer, and what it keeps stays within its bounds and
// free of control characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/onvif/search/OnvifDeviceList.h"
#include "core/onvif/search/ProbeMatchReader.h"

using namespace orvanta::onvif;

namespace {

void RequirePlain(const std::string& text) {
    if (text.size() > kMaxItemBytes) std::abort();
    for (const unsigned char c : text)
        if (c < 0x20 || c == 0x7F) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Exactly the datagram's bytes, so reads past its end are caught.
    char* copy = static_cast<char*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(copy, data, size);
    const auto message = ReadDiscoveryMessage(std::string_view(copy, size));
    if (message) {
        if (message->devices.size() > kMaxMatchesPerMessage) std::abort();
        OnvifDeviceList list;
        for (const DiscoveryAnnouncement& d : message->devices) {
            if (d.endpoint.empty()) std::abort();
            RequirePlain(d.endpoint);
            if (d.xaddrs.size() > kMaxListItems || d.scopes.size() > kMaxListItems) std::abort();
            for (const auto& x : d.xaddrs) RequirePlain(x);
            list.Add(d, DiscoveryOrigin{"eth0", 0x0A000001, 0xFFFFFF00, 0x0A000009});
        }
        for (const DiscoveredOnvifDevice& d : list.Devices()) {
            for (const std::string* text : {&d.name, &d.hardware, &d.location})
                for (const unsigned char c : *text)
                    if (c < 0x20 || c == 0x7F) std::abort();
        }
    }
    std::free(copy);
    return 0;
}

// The discovery datagram parser against arbitrary bytes: any datagram a
// network can deliver must be accepted or refused without reading outside
// the buffer, and every record field must come out terminated.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/discovery/DiscoveredCamera.h"
#include "core/discovery/DiscoveredCameraWriter.h"
#include "core/discovery/DiscoveryReply.h"

using namespace orvanta::discovery;

namespace {

template <std::size_t N>
void RequireTerminated(const char (&field)[N]) {
    if (std::memchr(field, 0, N) == nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Exactly the datagram's bytes, so reads past its end are caught.
    uint8_t* copy = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(copy, data, size);
    ReplyPayload payload;
    const ReplyVerdict verdict = DiscoveryReply::Accept(copy, size, payload, false);
    if (verdict == ReplyVerdict::Accepted) {
        if (size < 8) std::abort();
        DiscoveredCamera cam;
        FormatDiscoveredCamera(payload, cam);
        RequireTerminated(cam.MacText);
        RequireTerminated(cam.IpText);
        RequireTerminated(cam.PortText);
        RequireTerminated(cam.DescInterface);
        RequireTerminated(cam.SerialNo);
        RequireTerminated(cam.SportText);
        RequireTerminated(cam.MaskText);
        RequireTerminated(cam.FourthText);
        if (cam.MaskText[0] == '\0') std::abort();  // never empty: "0.0.0.0" stands in
        const std::string json = DiscoveredCameraWriter::Write(RecordFormat::Json, &cam, 1);
        for (unsigned char c : json)
            if (c < 0x20 && c != '\n') std::abort();  // raw control bytes break JSON
    }
    std::free(copy);
    return 0;
}

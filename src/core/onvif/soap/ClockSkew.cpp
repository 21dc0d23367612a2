#include "core/onvif/soap/ClockSkew.h"

namespace orvanta::onvif {

bool FarClock(int64_t offsetSeconds) {
    return offsetSeconds > kSigningSkewNoteSeconds || offsetSeconds < -kSigningSkewNoteSeconds;
}

std::string ClockSkewNote(int64_t offsetSeconds) {
    if (!FarClock(offsetSeconds)) return {};
    const int64_t days = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 86400;
    return "the camera's clock is " + std::to_string(days) + (days == 1 ? " day " : " days ") +
           (offsetSeconds < 0 ? "behind" : "ahead of") +
           " this computer's; requests are signed with the camera's clock";
}

}  // namespace orvanta::onvif

// A camera clock far from this computer's. Requests are signed on the
// camera's own time (a UsernameToken's Created must look fresh to the
// camera, or a skewed camera refuses every login), so a camera months off
// still works; but the user should know that its clock, not ours, is what
// the login's freshness rests on, and that the camera's time is wrong.
#pragma once

#include <cstdint>
#include <string>

namespace orvanta::onvif {

// Off by more than this, signing on the camera's clock is said.
inline constexpr int64_t kSigningSkewNoteSeconds = 86400;

bool FarClock(int64_t offsetSeconds);

// "the camera's clock is 183 days behind this computer's; requests are
// signed with the camera's clock", for an offset (camera minus PC) beyond
// a day; empty within it.
std::string ClockSkewNote(int64_t offsetSeconds);

}  // namespace orvanta::onvif

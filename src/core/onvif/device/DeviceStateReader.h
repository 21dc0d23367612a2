// Everything `onvif read` prints, read through one session: the clock
// first (it signs every later call), then the device's identity, its
// network settings, and the RTSP address of every media profile.
#pragma once

#include "core/onvif/device/DeviceReplies.h"
#include "core/onvif/device/OnvifSession.h"
#include "core/onvif/OnvifDevice.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

// Ok once the camera's clock and identity (GetDeviceInformation, the call
// that proves the login) were read. Every later call is optional: one the
// camera refuses, does not offer or answers with a fault leaves its fields
// empty, named in `state.missing`, with a diagnostic line. No connection,
// a refused login on the mandatory calls or the deadline end the read.
// `clock` receives the camera's date-and-time setting (the time zone
// setter keeps what it does not change).
// `mediaUsed`, when given, receives the media service the profiles were
// read through (its url empty when the camera has none).
struct MediaEndpoint {
    ServiceUrl url;
    bool media2 = false;
};
OnvifResult ReadDeviceState(OnvifSession& session, OnvifDeviceState& state, CameraDateTime& clock,
                            MediaEndpoint* mediaUsed = nullptr);

// The media service alone (Media2 where listed), for a call that needs
// no more of the camera. NotSupported when it tells none.
OnvifResult LocateMedia(OnvifSession& session, MediaEndpoint& endpoint);

// Refused when a MAC the caller read before differs from `read`'s: another
// device took the camera's address, and nothing is sent to it.
OnvifResult CheckSameDevice(const OnvifDevice& device, const OnvifDeviceState& read, const char* nothingDone);

// The read every change starts with: the state as ReadDeviceState gives it,
// the endpoint reference the caller knew filled in when the camera tells
// none, and CheckSameDevice. A failure's detail ends with `nothingDone`
// ("nothing was changed").
OnvifResult ReadBeforeChange(OnvifSession& session, const OnvifDevice& device, OnvifDeviceState& before,
                             CameraDateTime& clock, MediaEndpoint* media, const char* nothingDone);

// ISO 8601 UTC without fractions: "2026-12-08T10:00:00Z".
std::string UtcText(std::chrono::system_clock::time_point at);

}  // namespace orvanta::onvif

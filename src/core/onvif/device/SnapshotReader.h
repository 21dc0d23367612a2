// The camera's picture over a logged-in session: its media service
// (Media2 where the device lists it, Media otherwise), the first media
// profile (a camera's main stream, which every camera lists first), that
// profile's snapshot address, and the picture fetched from there.
#pragma once

#include "core/onvif/OnvifSnapshot.h"
#include "core/onvif/OnvifTypes.h"
#include "core/onvif/device/OnvifSession.h"

namespace orvanta::onvif {

// Ok with `out` filled. NotSupported when the camera offers no snapshot
// (no media service, no profile, or GetSnapshotUri not offered); the
// failures of FetchSnapshot otherwise. The session's clock is learnt here.
OnvifResult ReadSnapshot(OnvifSession& session, const OnvifCredentials& login, const OnvifCallSettings& settings,
                         OnvifSnapshot& out);

}  // namespace orvanta::onvif

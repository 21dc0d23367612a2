// The PC's dial-up account, offered to the camera as its PPPoE account.
#pragma once

#include "core/hostnet/HostNetwork.h"
#include "core/settings/CameraSettings.h"

namespace orvanta::hostnet {

// DialUser (and DialPassword, when the secrets could be read) from the first
// dial-up entry, each cut to 63 bytes at a character boundary. Any failure
// leaves both fields as they were.
void ReadDialUpCredentials(CameraSettings& settings, HostNetwork& net);

}  // namespace orvanta::hostnet

// The Media (ver10) and Media2 (ver20) requests for a profile's video
// encoder: the profiles with their configurations, the options an encoder
// offers, and the change itself. Each a fixed template with its values
// escaped, as DeviceRequests.
#pragma once

#include <string>

#include "core/onvif/device/DeviceRequests.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

// Media2 GetProfiles asking for the video encoder configuration too (a
// bare GetProfiles answers with tokens and names only).
SoapCall GetProfilesWithEncoder2Call();

SoapCall GetVideoEncoderOptionsCall(const std::string& configurationToken, const std::string& profileToken,
                                    bool media2);

// The whole configuration as it should become: Media (ver10) takes
// nothing less, so what the change leaves is sent back as read.
SoapCall SetVideoEncoderCall(const OnvifVideoEncoder& encoder, bool media2);

}  // namespace orvanta::onvif

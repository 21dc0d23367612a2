// A stream change judged against what the camera holds and offers, before
// anything is sent: which profile it names, whether every value is one the
// camera offers (the refusal names what it does offer), what the encoder
// should become, and afterwards whether it did.
#pragma once

#include <string>
#include <vector>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

// The profile `which` names: its token, else its 1-based place in the
// list. Null with `why` when there is none.
const OnvifProfile* FindProfile(const std::vector<OnvifProfile>& profiles, const std::string& which, std::string& why);

// The encoder as `change` wants it, from `current`, checked against
// `options`. False with `why` ("1920x1080 is not offered; 2592x1944,
// 1280x720 are") for a value the camera does not offer. A camera that
// offers nothing at all (no options) takes no change: it would be sent
// blind.
bool PlanEncoder(const OnvifVideoEncoder& current, const OnvifEncoderOptions& options, const OnvifStreamChange& change,
                 OnvifVideoEncoder& wanted, std::string& why);

// `current` with the values of `change` put in, unchecked: what a dry run
// shows.
OnvifVideoEncoder WithStreamChange(const OnvifVideoEncoder& current, const OnvifStreamChange& change);

// The values of `change` that `actual` does not show.
std::vector<std::string> UnmetStreamFields(const OnvifStreamChange& change, const OnvifVideoEncoder& actual);

// "H264 2592x1944 25 fps 8192 kbit/s GOP 50 quality 5": how a stream is
// shown in a summary and a dry run.
std::string EncoderText(const OnvifVideoEncoder& encoder);
std::string ResolutionText(int width, int height);  // "1920x1080"

// "1920x1080" into width and height; false for anything else.
bool ParseResolution(const std::string& text, std::pair<int, int>& out);

}  // namespace orvanta::onvif

// Reading the Media (ver10) and Media2 (ver20) replies about profiles and
// their video encoders into plain values. As DeviceReplies: each reader
// takes the Body's first element and returns false when the reply is not
// the response it should be.
#pragma once

#include <vector>

#include <pugixml.hpp>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

// Every profile with a token, its video encoder where it has one. Stream
// URIs are asked for one by one afterwards.
bool ReadProfiles(const pugi::xml_node& response, std::vector<OnvifProfile>& profiles, bool media2);

// What the encoder may be set to. A camera that answers with no options
// at all gives an empty `options` (and true).
bool ReadEncoderOptions(const pugi::xml_node& response, OnvifEncoderOptions& options, bool media2);

}  // namespace orvanta::onvif

// The GetSnapshotUri request of Media (ver10) and Media2 (ver20), and the
// reader of its reply: the same fact in other elements.
#pragma once

#include <string>

#include <pugixml.hpp>

#include "core/onvif/device/DeviceRequests.h"

namespace orvanta::onvif {

SoapCall GetSnapshotUriCall(const std::string& profileToken, bool media2);

// The URI of a GetSnapshotUriResponse; false when the reply is not one or
// names no URI.
bool ReadSnapshotUri(const pugi::xml_node& response, std::string& uri, bool media2);

}  // namespace orvanta::onvif

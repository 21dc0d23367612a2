// The Device service's maintenance calls and their replies: a firmware
// upgrade by upload URI (StartFirmwareUpgrade), the older one with the
// image inside the request as an MTOM attachment (UpgradeSystemFirmware),
// and a soft factory default. SystemReboot is a plain DeviceCall.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "core/onvif/device/DeviceRequests.h"

namespace orvanta::onvif {

SoapCall StartFirmwareUpgradeCall();
// Soft keeps the network settings (so the camera is found where it was);
// Hard would not, and we never send it.
SoapCall SetSystemFactoryDefaultSoftCall();

// What a camera says when it takes an upgrade: where to POST the image,
// how long to wait before posting, and how long it will be gone after.
struct FirmwareUploadOffer {
    std::string uploadUri;
    std::chrono::milliseconds uploadDelay{0};
    std::chrono::milliseconds expectedDownTime{0};
};
bool ReadStartFirmwareUpgrade(const pugi::xml_node& response, FirmwareUploadOffer& offer);
// The camera's Message, empty when it sent none. False when the reply is
// not an UpgradeSystemFirmwareResponse.
bool ReadUpgradeSystemFirmware(const pugi::xml_node& response, std::string& message);

// An xs:duration as cameras write them ("PT30S", "PT1M30.5S", "P0DT0H2M0S",
// "PT0S"). Years and months are refused (no down time is that long, and
// their length in seconds is not fixed); so is a negative one.
std::optional<std::chrono::milliseconds> ParseXsDuration(std::string_view text);

// The multipart/related body of UpgradeSystemFirmware around the image:
// the SOAP envelope (`envelope`, whose Body holds the xop:Include) as the
// root part, then the image as the one attachment. `head` and `tail` go
// before and after the image's bytes; `contentType` is the request's.
struct MtomParts {
    std::string contentType;
    std::string head;
    std::string tail;
};
inline constexpr const char* kFirmwareContentId = "firmware@orvanta";
// The request body that goes into the envelope: an xop:Include naming the
// attachment by its content id.
SoapCall UpgradeSystemFirmwareCall();
// `boundary` must not occur in the image: a random one of 24 bytes (a
// chance of 2^-192 per position) is what callers give.
MtomParts BuildMtomParts(std::string_view envelope, std::string_view action, const std::string& boundary);

}  // namespace orvanta::onvif

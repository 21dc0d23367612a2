// Requests are fixed templates: the envelope below, a body from
// DeviceRequests, and every value a caller supplies passed through
// XmlEscape, so no user text can add markup to what a camera receives.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::onvif {

// Text content or attribute value: & < > " ' escaped; bytes that XML 1.0
// forbids (C0 controls other than tab, CR, LF) are dropped.
std::string XmlEscape(std::string_view text);

// A SOAP 1.2 envelope declaring the prefixes the templates use (tds, trt,
// tt, wsse, wsu), with `header` (may be empty) and `body` placed inside.
std::string SoapEnvelope(std::string_view header, std::string_view body);

}  // namespace orvanta::onvif

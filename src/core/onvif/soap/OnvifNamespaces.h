// The namespace URIs ONVIF messages are matched by. Replies are read by
// namespace URI and local name only: makers bind these to any prefix they
// like (SOAP-ENV, s, env, or none at all through a default namespace).
#pragma once

namespace orvanta::onvif::ns {

inline constexpr const char* kSoap12 = "http://www.w3.org/2003/05/soap-envelope";
// Some older firmware still answers in SOAP 1.1; its faults are read too.
inline constexpr const char* kSoap11 = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr const char* kDevice = "http://www.onvif.org/ver10/device/wsdl";
inline constexpr const char* kMedia = "http://www.onvif.org/ver10/media/wsdl";
// Media2: newer recorders list only this one.
inline constexpr const char* kMedia2 = "http://www.onvif.org/ver20/media/wsdl";
inline constexpr const char* kSchema = "http://www.onvif.org/ver10/schema";
inline constexpr const char* kError = "http://www.onvif.org/ver10/error";
inline constexpr const char* kWsse =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd";
inline constexpr const char* kWsu =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd";
inline constexpr const char* kPasswordDigest =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-username-token-profile-1.0#PasswordDigest";
inline constexpr const char* kBase64Binary =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-soap-message-security-1.0#Base64Binary";

}  // namespace orvanta::onvif::ns

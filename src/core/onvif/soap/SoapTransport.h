// One SOAP 1.2 request over HTTP/1.1 POST, on the camera transport's
// sockets and deadlines: a bounded connect, the whole request sent, and the
// reply read until it is complete (Content-Length or the last chunk), the
// camera closes, or the call's or the sequence's deadline passes.
#pragma once

#include <string>
#include <string_view>

#include "core/http/TransportSettings.h"
#include "core/http/HttpReply.h"
#include "core/onvif/OnvifService.h"
#include "core/onvif/OnvifTypes.h"
#include "core/onvif/soap/ServiceAddress.h"
#include "core/onvif/soap/SoapConnections.h"

namespace orvanta::onvif {

// The transport limits one ONVIF call waits by.
TransportSettings CallLimits(const OnvifCallSettings& settings);
// When one call, started now, must have ended: its own overall limit or the
// caller's deadline, the earlier. Reading its reply counts against it as
// much as waiting for it.
Deadline CallDeadline(const OnvifCallSettings& settings);

// The request bytes: POST line, Host, the SOAP content type with its
// action, Content-Length, "Connection: close" (unless `keepOpen`), an
// Authorization header when `authorization` is not empty, then `envelope`.
std::string SoapHttpRequest(const ServiceUrl& url, std::string_view action, std::string_view envelope,
                            std::string_view authorization, bool keepOpen = false);

// Sends and reads one exchange. Ok with `reply` filled (any HTTP status);
// Unreachable when no connection or no reply came; TimedOut when a deadline
// passed mid-reply or the reply stopped short of its length; BadReply when
// it is no HTTP reply or larger than a SOAP reply may be.
// With `connections`, a connection the camera kept open is used again
// (and this one kept for the next call when the reply leaves it open); a
// kept connection the camera has closed meanwhile is replaced by a fresh
// one, the request sent again only when not a byte of reply came. Only
// for calls that change nothing: a change sent twice might apply twice.
OnvifResult PostSoap(const OnvifCallSettings& settings, const ServiceUrl& url, std::string_view action,
                     std::string_view envelope, std::string_view authorization, HttpReply& reply,
                     SoapConnections* connections = nullptr);
// The same, by `deadline` (CallDeadline of the call's settings).
OnvifResult PostSoap(const OnvifCallSettings& settings, const Deadline& deadline, const ServiceUrl& url,
                     std::string_view action, std::string_view envelope, std::string_view authorization,
                     HttpReply& reply, SoapConnections* connections = nullptr);

}  // namespace orvanta::onvif

// Fetching the picture at a camera's snapshot address: one HTTP GET,
// answered with Digest or Basic when the camera asks (401), bounded in
// size (kMaxSnapshotBytes) and by the call's deadline, the body checked to
// be a JPEG. The same HTTP layer as every other camera exchange.
#pragma once

#include <string>

#include "core/onvif/OnvifService.h"
#include "core/onvif/OnvifSnapshot.h"
#include "core/onvif/OnvifTypes.h"
#include "core/onvif/soap/ServiceAddress.h"

namespace orvanta::onvif {

// Where the picture is fetched from: the URI's port, path and query on the
// host the device service was reached at. Cameras name themselves by the
// address they had at the factory, behind a NAT, 0.0.0.0 or a name only
// their own network knows, as they do for their services; and a URI that
// truly named another host would get the camera's credentials sent there.
// Taking only the port and path from it serves the first case and rules
// out the second. False with `why` for a URI that is not plain http://.
bool SnapshotSource(const std::string& uri, const ServiceUrl& camera, ServiceUrl& source, std::string& why);

// The GET request's bytes ("Connection: close"; Authorization when given).
std::string SnapshotHttpRequest(const ServiceUrl& source, const std::string& authorization);

// Ok with `out.jpeg` and its size filled. BadReply for a picture larger
// than the bound or not a JPEG, NotAuthorized when the login is refused,
// NotSupported when nothing is at the address (404).
OnvifResult FetchSnapshot(const OnvifCallSettings& settings, const ServiceUrl& source,
                          const OnvifCredentials& login, OnvifSnapshot& out);

}  // namespace orvanta::onvif

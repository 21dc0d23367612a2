// The request texts sent to the camera and the checks applied to its replies.
// Builders refuse (return false, with a diagnostic line on stderr) whatever
// does not fit its buffer, so a request is never cut short on the wire.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/settings/ParameterGroup.h"
#include "core/http/HttpResult.h"
#include "core/settings/CameraKeys.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

// Buffer capacities (bytes of text, the terminator not counted).
inline constexpr std::size_t kRequestCapacity = 6144;
inline constexpr std::size_t kSmallRequestCapacity = 4096;  // sysinfo login read, WPS
inline constexpr std::size_t kQueryCapacity = 2048;
inline constexpr std::size_t kReplyCapacity = 6144;
inline constexpr std::size_t kSmallReplyCapacity = 4096;
inline constexpr std::size_t kHeaderCapacity = 256;

// "Authorization: Basic <base64 of User:Password>\r\n\r\n". False when the
// credentials do not fit the 256-byte buffers.
bool BuildAuthorizationLine(const CameraSettings& settings, std::string& line);

// The query text ("&Key=value..."), escaped, for a write of `group`
// (Sysinfo, Ddns, Time, Network or NetworkShort).
bool BuildWriteQuery(const CameraSettings& settings, ParameterGroup group, std::string& query);

// The whole request of a read or write of `group`.
bool BuildParameterRequest(const CameraSettings& settings, ParameterAction act, ParameterGroup group,
                           std::string& request);

// The login read of the system page (4096-byte buffers).
bool BuildSysinfoAuthRequest(const CameraSettings& settings, std::string& request);

// Access point scan and WPS start: "GET <path> HTTP/1.0", headers, one space.
bool BuildScanRequest(const CameraSettings& settings, std::string& request);
bool BuildWpsStartRequest(const CameraSettings& settings, std::string& request);
bool BuildWpsStatusRequest(const CameraSettings& settings, std::string& request);

// The status checks in their order: NotFound10, NotFound, Failure, then
// (when asked) Unauthorized and NoWpaKeyMode. A status is read where a
// status is: the code of a leading status line (404 from HTTP/1.0:
// NotFound10, other 404: NotFound, 402: Failure, 401: Unauthorized), then
// the status texts standing on their own in the body. The same texts inside
// a "Key=value" item of the camera's data do not count. Ok when the reply
// passes.
HttpStatus CheckReply(std::string_view reply, bool checkUnauthorized, bool requireWpaKeyMode);

}  // namespace orvanta

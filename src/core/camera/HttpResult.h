// The signed result of every camera request: the reply length (0 or more) on
// success, a small negative code naming what went wrong otherwise.
#pragma once

#include <cstdint>

namespace orvanta {

using HttpResult = int32_t;

inline constexpr HttpResult kHttpConnectFailed = -1;   // not resolved, refused, timed out or cancelled
inline constexpr HttpResult kHttpSendFailed = -2;      // nothing sent (also: request refused as too long)
inline constexpr HttpResult kHttpNoReply = -3;         // no reply bytes
inline constexpr HttpResult kHttpNotFound10 = -4;      // "HTTP/1.0 404 Not Found"
inline constexpr HttpResult kHttpNotFound = -5;        // "404 Not Found"
inline constexpr HttpResult kHttpFailure = -6;         // "402 Failure"
inline constexpr HttpResult kHttpNoWpaKeyMode = -7;    // network page without "WPAPSKeyM="
inline constexpr HttpResult kHttpUnauthorized = -8;    // "Unauthorized"
// The overall limit of the sequence passed, or a reply stopped short of the
// length its header announced: nothing that arrived is taken as the answer.
inline constexpr HttpResult kHttpTimedOut = -9;

// A short English name of a result, for command-line output and logs.
const char* HttpResultName(HttpResult result);

}  // namespace orvanta

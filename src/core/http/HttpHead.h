// The status code of an HTTP reply's status line, for callers that must tell
// a refusal from an answer without searching the camera's own data.
#pragma once

#include <string_view>

namespace orvanta {

// NNN of a reply that starts with "HTTP/1.x NNN"; 0 when it has no such line.
int ReplyStatusCode(std::string_view reply);

}  // namespace orvanta

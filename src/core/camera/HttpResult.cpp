#include "core/camera/HttpResult.h"

namespace orvanta {

const char* HttpResultName(HttpResult result) {
    switch (result) {
        case kHttpConnectFailed: return "connect failed";
        case kHttpSendFailed: return "nothing sent";
        case kHttpNoReply: return "no reply";
        case kHttpNotFound10: return "HTTP/1.0 404 Not Found";
        case kHttpNotFound: return "404 Not Found";
        case kHttpFailure: return "402 Failure";
        case kHttpNoWpaKeyMode: return "network page without WPAPSKeyM";
        case kHttpUnauthorized: return "Unauthorized";
        case kHttpTimedOut: return "timed out";
        default: return result >= 0 ? "ok" : "unknown failure";
    }
}

}  // namespace orvanta

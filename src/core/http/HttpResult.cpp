#include "core/http/HttpResult.h"

namespace orvanta {

static_assert(static_cast<int>(HttpStatus::TimedOut) == 9, "the printed codes follow the statuses' order");

const char* HttpStatusName(HttpStatus status) {
    switch (status) {
        case HttpStatus::Ok: return "ok";
        case HttpStatus::ConnectFailed: return "connect failed";
        case HttpStatus::SendFailed: return "nothing sent";
        case HttpStatus::NoReply: return "no reply";
        case HttpStatus::NotFound10: return "HTTP/1.0 404 Not Found";
        case HttpStatus::NotFound: return "404 Not Found";
        case HttpStatus::Failure: return "402 Failure";
        case HttpStatus::NoWpaKeyMode: return "network page without WPAPSKeyM";
        case HttpStatus::Unauthorized: return "Unauthorized";
        case HttpStatus::TimedOut: return "timed out";
    }
    return "unknown failure";
}

std::string HttpResultNumber(HttpResult result) {
    if (!result.Failed()) return std::to_string(result.length);
    return std::to_string(-static_cast<int>(result.status));
}

}  // namespace orvanta

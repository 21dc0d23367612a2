#include "core/http/ReplyStatus.h"

namespace orvanta {

int ReplyStatusCode(std::string_view reply) {
    constexpr std::string_view kPrefix = "HTTP/1.";
    if (reply.size() < kPrefix.size() + 6 || reply.substr(0, kPrefix.size()) != kPrefix) return 0;
    // "HTTP/1.x NNN": the minor version digit, one space, three digits.
    std::string_view rest = reply.substr(kPrefix.size() + 1);
    if (rest[0] != ' ') return 0;
    int code = 0;
    for (std::size_t i = 1; i <= 3; ++i) {
        if (rest[i] < '0' || rest[i] > '9') return 0;
        code = code * 10 + (rest[i] - '0');
    }
    if (rest.size() > 4 && rest[4] != ' ' && rest[4] != '\r' && rest[4] != '\n') return 0;
    return code;
}

}  // namespace orvanta

// An HTTP/1.x reply taken apart: status, header fields and the body, with a
// chunked body decoded and a body checked against the length announced.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvanta {

enum class HttpReplyState {
    Ok,
    NotHttp,     // no "HTTP/1.x NNN" status line
    CutShort,    // the header block, a chunked body or a Content-Length body did not all arrive
    Malformed,   // a chunk size or Content-Length that cannot be read
};

struct HttpReply {
    int status = 0;
    std::vector<std::pair<std::string, std::string>> headers;  // in order, names as sent
    std::string body;

    // Every value of a header field (case-insensitive name).
    std::vector<std::string> Values(std::string_view name) const;
    std::string Value(std::string_view name) const;  // the first, "" when absent
};

HttpReplyState ParseHttpReply(std::string_view raw, HttpReply& reply);

}  // namespace orvanta

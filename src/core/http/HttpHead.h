// The head of an HTTP/1.x reply, read one way for both camera protocols: the
// status line, the header block and where the body ends (its Content-Length
// or chunked coding). The camera transport asks it where a reply ends; the
// CGI checks and the SOAP reader ask it what the reply says.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace orvanta {

// "HTTP/1.x NNN", then a space, a line end or nothing.
struct StatusLine {
    int code = 0;
    int minorVersion = 0;  // 0 for HTTP/1.0, 1 for HTTP/1.1
};

std::optional<StatusLine> ParseStatusLine(std::string_view reply);

// The code of a reply's status line; 0 when it has none.
int ReplyStatusCode(std::string_view reply);

// True when `received` is, or could still grow into, a reply with a head:
// it starts with "HTTP/" (or with the part of it that has come so far).
// Without one, a reply is all body (cameras' older pages send no head).
bool StartsWithHead(std::string_view received);

// Just past the empty line (CR LF or a bare LF) that ends the header block,
// npos while it has not come.
std::size_t HeaderBlockEnd(std::string_view received);

struct HeaderField {
    std::string_view name;   // as sent
    std::string_view value;  // blanks around it removed
};

// The fields of a header block (status line skipped); a line without a
// colon is passed over.
std::vector<HeaderField> HeaderFields(std::string_view headerBlock);

bool SameHeaderName(std::string_view a, std::string_view b);

// Largest body a Content-Length is believed for. No camera reply comes
// near it; the transport's buffers are far smaller.
inline constexpr std::uint64_t kMaxAnnouncedBody = 1u << 30;

// How a complete header block says its body ends.
struct BodyFraming {
    bool chunked = false;                  // Transfer-Encoding ends in "chunked"
    std::optional<std::uint64_t> length;   // the Content-Length, when one can be believed
    bool badLength = false;                // a length that is no number, too large, or several that disagree
};

// A chunked coding wins over a Content-Length beside it (HTTP/1.1 says so).
BodyFraming ReadBodyFraming(std::string_view headerBlock);

}  // namespace orvanta

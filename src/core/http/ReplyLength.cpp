#include "core/http/ReplyLength.h"

#include "core/http/ChunkedBody.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace orvanta {

namespace {

// Larger bodies are not believed; no camera page comes near it.
constexpr std::uint64_t kMaxAnnouncedBody = 1u << 30;

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The value of one "Content-Length:" line: digits only.
std::optional<std::uint64_t> ParseLength(std::string_view value) {
    value = TrimBlanks(value);
    if (value.empty() || value.size() > 10) return std::nullopt;
    std::uint64_t n = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (n > kMaxAnnouncedBody) return std::nullopt;
    return n;
}

// Just past the empty line (CR LF or a bare LF) that ends the header block,
// or npos while it has not come.
std::size_t HeaderEnd(std::string_view received) {
    std::size_t lineStart = 0;
    while (lineStart < received.size()) {
        const std::size_t nl = received.find('\n', lineStart);
        if (nl == std::string_view::npos) break;
        std::string_view line = received.substr(lineStart, nl - lineStart);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() && lineStart > 0) return nl + 1;
        lineStart = nl + 1;
    }
    return std::string_view::npos;
}

constexpr std::string_view kStatusStart = "HTTP/";

}  // namespace

bool InsideReplyHeader(std::string_view received) {
    if (received.empty()) return false;
    const std::size_t n = std::min(received.size(), kStatusStart.size());
    return received.substr(0, n) == kStatusStart.substr(0, n) && HeaderEnd(received) == std::string_view::npos;
}

namespace {

// What a complete header block says about where its body ends.
struct Framing {
    std::optional<std::uint64_t> length;
    bool chunked = false;
    bool lengthsDisagree = false;
};

Framing ReadFraming(std::string_view headers) {
    Framing f;
    std::size_t lineStart = headers.find('\n') + 1;  // past the status line
    while (lineStart < headers.size()) {
        const std::size_t nl = headers.find('\n', lineStart);
        const std::string_view line = headers.substr(lineStart, nl - lineStart);
        lineStart = nl + 1;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        if (EqualsNoCase(line.substr(0, colon), "Transfer-Encoding")) {
            const std::string_view coding = TrimBlanks(line.substr(colon + 1));
            if (coding.size() >= 7 && EqualsNoCase(coding.substr(coding.size() - 7), "chunked")) f.chunked = true;
            continue;
        }
        if (!EqualsNoCase(line.substr(0, colon), "Content-Length")) continue;
        const auto value = ParseLength(line.substr(colon + 1));
        if (!value || (f.length && *f.length != *value)) f.lengthsDisagree = true;
        f.length = value;
    }
    return f;
}

}  // namespace

bool ReplyBodyAtLineEnd(std::string_view received) {
    if (received.empty() || received.back() != '\n') return false;
    const std::size_t n = std::min(received.size(), kStatusStart.size());
    if (received.substr(0, n) != kStatusStart.substr(0, n)) return true;
    const std::size_t headerEnd = HeaderEnd(received);
    if (headerEnd == std::string_view::npos || headerEnd >= received.size()) return false;
    // A chunked body says itself where it ends: a pause between chunks is
    // no end, only its last chunk (or the deadline) is.
    return !ReadFraming(received.substr(0, headerEnd)).chunked;
}

std::optional<std::size_t> AnnouncedReplyLength(std::string_view received) {
    if (received.substr(0, kStatusStart.size()) != kStatusStart) return std::nullopt;
    const std::size_t headerEnd = HeaderEnd(received);
    if (headerEnd == std::string_view::npos) return std::nullopt;
    const Framing f = ReadFraming(received.substr(0, headerEnd));
    // A chunked body ends with its last chunk, whatever a Content-Length
    // beside it says (HTTP/1.1 gives the coding precedence).
    if (f.chunked) {
        const ChunkedResult r = DecodeChunked(received.substr(headerEnd), nullptr);
        if (r.state != ChunkedState::Complete) return std::nullopt;
        return headerEnd + r.consumed;
    }
    if (!f.length || f.lengthsDisagree) return std::nullopt;
    return headerEnd + static_cast<std::size_t>(*f.length);
}

}  // namespace orvanta

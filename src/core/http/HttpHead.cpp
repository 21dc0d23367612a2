#include "core/http/HttpHead.h"

#include <cctype>

namespace orvanta {

namespace {

constexpr std::string_view kHeadStart = "HTTP/";

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The value of one Content-Length field: digits only, at most kMaxAnnouncedBody.
std::optional<std::uint64_t> ParseLength(std::string_view value) {
    if (value.empty() || value.size() > 10) return std::nullopt;
    std::uint64_t n = 0;
    for (char c : value) {
        if (!IsDigit(c)) return std::nullopt;
        n = n * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (n > kMaxAnnouncedBody) return std::nullopt;
    return n;
}

}  // namespace

std::optional<StatusLine> ParseStatusLine(std::string_view reply) {
    // "HTTP/1.x NNN": the minor version digit, one space, three digits.
    constexpr std::string_view kPrefix = "HTTP/1.";
    if (reply.size() < kPrefix.size() + 5 || reply.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    const std::string_view rest = reply.substr(kPrefix.size());
    if (!IsDigit(rest[0]) || rest[1] != ' ') return std::nullopt;
    int code = 0;
    for (std::size_t i = 2; i < 5; ++i) {
        if (!IsDigit(rest[i])) return std::nullopt;
        code = code * 10 + (rest[i] - '0');
    }
    if (rest.size() > 5 && rest[5] != ' ' && rest[5] != '\r' && rest[5] != '\n') return std::nullopt;
    return StatusLine{code, rest[0] - '0'};
}

int ReplyStatusCode(std::string_view reply) {
    const std::optional<StatusLine> line = ParseStatusLine(reply);
    return line ? line->code : 0;
}

bool StartsWithHead(std::string_view received) {
    if (received.empty()) return false;
    const std::size_t n = std::min(received.size(), kHeadStart.size());
    return received.substr(0, n) == kHeadStart.substr(0, n);
}

std::size_t HeaderBlockEnd(std::string_view received) {
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

std::vector<HeaderField> HeaderFields(std::string_view headerBlock) {
    std::vector<HeaderField> fields;
    std::size_t lineStart = headerBlock.find('\n');
    if (lineStart == std::string_view::npos) return fields;
    ++lineStart;  // past the status line
    while (lineStart < headerBlock.size()) {
        std::size_t nl = headerBlock.find('\n', lineStart);
        if (nl == std::string_view::npos) nl = headerBlock.size();
        const std::string_view line = headerBlock.substr(lineStart, nl - lineStart);
        lineStart = nl + 1;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        fields.push_back({TrimBlanks(line.substr(0, colon)), TrimBlanks(line.substr(colon + 1))});
    }
    return fields;
}

bool SameHeaderName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

BodyFraming ReadBodyFraming(std::string_view headerBlock) {
    BodyFraming f;
    for (const HeaderField& field : HeaderFields(headerBlock)) {
        if (SameHeaderName(field.name, "Transfer-Encoding")) {
            const std::string_view coding = field.value;
            if (coding.size() >= 7 && SameHeaderName(coding.substr(coding.size() - 7), "chunked")) f.chunked = true;
        } else if (SameHeaderName(field.name, "Content-Length")) {
            const std::optional<std::uint64_t> value = ParseLength(field.value);
            if (!value || (f.length && *f.length != *value)) f.badLength = true;
            f.length = value;
        }
    }
    if (f.badLength) f.length.reset();
    return f;
}

}  // namespace orvanta

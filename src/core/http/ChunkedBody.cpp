#include "core/http/ChunkedBody.h"

#include <cstdint>

namespace orvanta {

namespace {

// No reply of a device comes near it; a size beyond is a lie, not data.
constexpr std::uint64_t kMaxChunk = 1u << 30;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The line starting at `at`, without its CRLF or LF; npos when the line end
// has not arrived.
std::size_t LineEnd(std::string_view s, std::size_t at, std::size_t& next) {
    const std::size_t nl = s.find('\n', at);
    if (nl == std::string_view::npos) return std::string_view::npos;
    next = nl + 1;
    return (nl > at && s[nl - 1] == '\r') ? nl - 1 : nl;
}

}  // namespace

ChunkedResult DecodeChunked(std::string_view encoded, std::string* data) {
    std::size_t at = 0;
    for (;;) {
        std::size_t next = 0;
        const std::size_t end = LineEnd(encoded, at, next);
        if (end == std::string_view::npos) {
            // A size line that is already absurdly long will never be one.
            if (encoded.size() - at > 1024) return {ChunkedState::Malformed, 0};
            return {ChunkedState::Incomplete, 0};
        }
        std::uint64_t size = 0;
        std::size_t i = at;
        for (; i < end && HexValue(encoded[i]) >= 0; ++i) {
            size = size * 16 + static_cast<std::uint64_t>(HexValue(encoded[i]));
            if (size > kMaxChunk) return {ChunkedState::Malformed, 0};
        }
        if (i == at) return {ChunkedState::Malformed, 0};
        // Only blanks or an extension (";name=value") may follow the size.
        while (i < end && (encoded[i] == ' ' || encoded[i] == '\t')) ++i;
        if (i < end && encoded[i] != ';') return {ChunkedState::Malformed, 0};
        at = next;
        if (size == 0) {
            // Trailer fields, up to an empty line.
            for (;;) {
                const std::size_t tEnd = LineEnd(encoded, at, next);
                if (tEnd == std::string_view::npos) return {ChunkedState::Incomplete, 0};
                const bool empty = tEnd == at;
                at = next;
                if (empty) return {ChunkedState::Complete, at};
            }
        }
        if (encoded.size() - at < size) return {ChunkedState::Incomplete, 0};
        if (data) data->append(encoded.substr(at, size));
        at += size;
        if (at >= encoded.size()) return {ChunkedState::Incomplete, 0};
        if (encoded[at] == '\r') {
            if (at + 1 >= encoded.size()) return {ChunkedState::Incomplete, 0};
            if (encoded[at + 1] != '\n') return {ChunkedState::Malformed, 0};
            at += 2;
        } else if (encoded[at] == '\n') {
            at += 1;
        } else {
            return {ChunkedState::Malformed, 0};
        }
    }
}

}  // namespace orvanta

#include "core/http/ReplyLength.h"

#include "core/http/ChunkedBody.h"
#include "core/http/HttpHead.h"

namespace orvanta {

bool InsideReplyHeader(std::string_view received) {
    return StartsWithHead(received) && HeaderBlockEnd(received) == std::string_view::npos;
}

bool ReplyBodyAtLineEnd(std::string_view received) {
    if (received.empty() || received.back() != '\n') return false;
    if (!StartsWithHead(received)) return true;
    const std::size_t headerEnd = HeaderBlockEnd(received);
    if (headerEnd == std::string_view::npos || headerEnd >= received.size()) return false;
    // A chunked body says itself where it ends: a pause between chunks is
    // no end, only its last chunk (or the deadline) is.
    return !ReadBodyFraming(received.substr(0, headerEnd)).chunked;
}

std::optional<std::size_t> AnnouncedReplyLength(std::string_view received) {
    if (!StartsWithHead(received) || received.size() < 5) return std::nullopt;
    const std::size_t headerEnd = HeaderBlockEnd(received);
    if (headerEnd == std::string_view::npos) return std::nullopt;
    const BodyFraming f = ReadBodyFraming(received.substr(0, headerEnd));
    if (f.chunked) {
        const ChunkedResult r = DecodeChunked(received.substr(headerEnd), nullptr);
        if (r.state != ChunkedState::Complete) return std::nullopt;
        return headerEnd + r.consumed;
    }
    if (!f.length) return std::nullopt;
    return headerEnd + static_cast<std::size_t>(*f.length);
}

}  // namespace orvanta

#include "core/http/HttpReply.h"

#include "core/http/ChunkedBody.h"
#include "core/http/HttpHead.h"

namespace orvanta {

std::vector<std::string> HttpReply::Values(std::string_view name) const {
    std::vector<std::string> out;
    for (const auto& [n, v] : headers)
        if (SameHeaderName(n, name)) out.push_back(v);
    return out;
}

std::string HttpReply::Value(std::string_view name) const {
    for (const auto& [n, v] : headers)
        if (SameHeaderName(n, name)) return v;
    return {};
}

HttpReplyState ParseHttpReply(std::string_view raw, HttpReply& reply) {
    reply = HttpReply{};
    if (raw.find('\n') == std::string_view::npos)
        return raw.substr(0, 7) == "HTTP/1." ? HttpReplyState::CutShort : HttpReplyState::NotHttp;
    const std::optional<StatusLine> status = ParseStatusLine(raw);
    if (!status) return HttpReplyState::NotHttp;
    reply.status = status->code;

    const std::size_t headerEnd = HeaderBlockEnd(raw);
    if (headerEnd == std::string_view::npos) return HttpReplyState::CutShort;
    const std::string_view head = raw.substr(0, headerEnd);
    for (const HeaderField& field : HeaderFields(head)) reply.headers.emplace_back(field.name, field.value);
    const std::string_view rest = raw.substr(headerEnd);

    const BodyFraming framing = ReadBodyFraming(head);
    if (framing.chunked) {
        const ChunkedResult r = DecodeChunked(rest, &reply.body);
        if (r.state == ChunkedState::Malformed) return HttpReplyState::Malformed;
        if (r.state == ChunkedState::Incomplete) return HttpReplyState::CutShort;
        return HttpReplyState::Ok;
    }
    if (framing.badLength) return HttpReplyState::Malformed;
    if (framing.length) {
        if (rest.size() < *framing.length) return HttpReplyState::CutShort;
        // Bytes past the announced length belong to nobody: they are dropped.
        reply.body = std::string(rest.substr(0, static_cast<std::size_t>(*framing.length)));
        return HttpReplyState::Ok;
    }
    reply.body = std::string(rest);
    return HttpReplyState::Ok;
}

}  // namespace orvanta

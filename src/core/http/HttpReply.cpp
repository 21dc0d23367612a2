#include "core/http/HttpReply.h"

#include <strings.h>

#include "core/http/ChunkedBody.h"

namespace orvanta::onvif {

namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<std::string> HttpReply::Values(std::string_view name) const {
    std::vector<std::string> out;
    for (const auto& [n, v] : headers)
        if (SameNoCase(n, name)) out.push_back(v);
    return out;
}

std::string HttpReply::Value(std::string_view name) const {
    for (const auto& [n, v] : headers)
        if (SameNoCase(n, name)) return v;
    return {};
}

HttpReplyState ParseHttpReply(std::string_view raw, HttpReply& reply) {
    reply = HttpReply{};
    if (raw.substr(0, 7) != "HTTP/1.") return HttpReplyState::NotHttp;
    std::size_t nl = raw.find('\n');
    if (nl == std::string_view::npos) return HttpReplyState::CutShort;
    const std::string_view statusLine = Trim(raw.substr(0, nl));
    const std::size_t space = statusLine.find(' ');
    if (space == std::string_view::npos || statusLine.size() < space + 4) return HttpReplyState::NotHttp;
    int status = 0;
    for (std::size_t i = space + 1; i < space + 4; ++i) {
        const char c = statusLine[i];
        if (c < '0' || c > '9') return HttpReplyState::NotHttp;
        status = status * 10 + (c - '0');
    }
    reply.status = status;

    std::size_t at = nl + 1;
    bool headerEnded = false;
    while (at < raw.size()) {
        nl = raw.find('\n', at);
        if (nl == std::string_view::npos) break;
        const std::string_view line = Trim(raw.substr(at, nl - at));
        at = nl + 1;
        if (line.empty()) {
            headerEnded = true;
            break;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        reply.headers.emplace_back(std::string(Trim(line.substr(0, colon))), std::string(Trim(line.substr(colon + 1))));
    }
    if (!headerEnded) return HttpReplyState::CutShort;
    const std::string_view rest = raw.substr(at);

    const std::string coding = reply.Value("Transfer-Encoding");
    if (coding.size() >= 7 && SameNoCase(std::string_view(coding).substr(coding.size() - 7), "chunked")) {
        const ChunkedResult r = DecodeChunked(rest, &reply.body);
        if (r.state == ChunkedState::Malformed) return HttpReplyState::Malformed;
        if (r.state == ChunkedState::Incomplete) return HttpReplyState::CutShort;
        return HttpReplyState::Ok;
    }
    const std::vector<std::string> lengths = reply.Values("Content-Length");
    if (!lengths.empty()) {
        std::size_t length = 0;
        for (std::size_t k = 0; k < lengths.size(); ++k) {
            const std::string& text = lengths[k];
            if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
                return HttpReplyState::Malformed;
            const std::size_t v = std::stoul(text);
            if (k > 0 && v != length) return HttpReplyState::Malformed;
            length = v;
        }
        if (rest.size() < length) return HttpReplyState::CutShort;
        // Bytes past the announced length belong to nobody: they are dropped.
        reply.body = std::string(rest.substr(0, length));
        return HttpReplyState::Ok;
    }
    reply.body = std::string(rest);
    return HttpReplyState::Ok;
}

}  // namespace orvanta::onvif

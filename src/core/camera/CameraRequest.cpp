#include "core/camera/CameraRequest.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "core/http/HttpBasic.h"
#include "core/http/HttpHead.h"
#include "core/settings/CameraKeys.h"
#include "core/camera/QueryEscape.h"
#include "core/base/Diagnostics.h"
#include "core/settings/FixedField.h"

namespace orvanta {

namespace {

constexpr const char* kUserAgent = "User-Agent: flash-1.0.1\r\n";

bool Refuse(const char* what, std::size_t length, std::size_t capacity) {
    Diagnostic("%s of %zu bytes exceeds its %zu-byte buffer, request not sent", what, length, capacity);
    return false;
}

bool Fits(const std::string& text, const char* what, std::size_t capacity) {
    return text.size() <= capacity || Refuse(what, text.size(), capacity);
}

// "&Key=value" with the value escaped.
void AddText(std::string& q, const char* key, std::string_view value) {
    q += '&';
    q += key;
    q += '=';
    q += EscapeQueryValue(value);
}

void AddNumber(std::string& q, const char* key, long value) {
    q += '&';
    q += key;
    q += '=';
    q += std::to_string(value);
}

// The CGI path that serves a group, or null for a group that has none.
const char* GroupPath(ParameterGroup group) {
    switch (group) {
        case ParameterGroup::Sysinfo: return "/cgi-bin/config_sysinfo.cgi";
        case ParameterGroup::Network:
        case ParameterGroup::NetworkShort: return "/cgi-bin/config_network.cgi";
        case ParameterGroup::Ddns: return "/cgi-bin/config_ddns.cgi";
        case ParameterGroup::Time: return "/cgi-bin/config_time.cgi";
        case ParameterGroup::Version:
        case ParameterGroup::Capabilities:
        case ParameterGroup::NatStatus: return "/goform/Parameters";
        default: return nullptr;
    }
}

bool Envelope(const CameraSettings& s, const std::string& line, bool trailingSpace, std::size_t capacity,
              std::string& request) {
    std::string auth;
    if (!BuildAuthorizationLine(s, auth)) return false;
    std::string text = line + " HTTP/1.0\r\n" + kUserAgent + auth;
    if (trailingSpace) text += ' ';
    if (!Fits(text, "request", capacity)) return false;
    request = std::move(text);
    return true;
}

struct ReplyStatus {
    int code = 0;          // of a leading "HTTP/x.y NNN" line; 0 without one
    bool http10 = false;   // that line says HTTP/1.0
    std::string_view body; // after the header block; the whole reply without a status line
};

ReplyStatus ReadReplyStatus(std::string_view reply) {
    ReplyStatus st;
    st.body = reply;
    if (!StartsWithHead(reply) || reply.size() < 5) return st;
    if (const std::optional<StatusLine> line = ParseStatusLine(reply)) {
        st.code = line->code;
        st.http10 = line->minorVersion == 0;
    }
    // The header lines describe the reply, they do not answer: the body
    // starts after the first empty line (or is empty when none came).
    const std::size_t headerEnd = HeaderBlockEnd(reply);
    st.body = headerEnd == std::string_view::npos ? std::string_view() : reply.substr(headerEnd);
    return st;
}

bool IsKeyChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Whether `phrase` stands in `text` as the camera's own status text: on a
// line where no "Key=" item comes before it. The same words inside a value
// (a title "Unauthorized use prohibited", an SSID "402 Failure") are the
// camera's data. Attributes inside an HTML tag ("<body bgcolor=white>") are
// not items: an error page keeps its status text.
bool HasStatusText(std::string_view text, std::string_view phrase) {
    for (std::size_t at = text.find(phrase); at != std::string_view::npos; at = text.find(phrase, at + 1)) {
        const std::size_t newline = text.rfind('\n', at);
        const std::size_t lineStart = newline == std::string_view::npos ? 0 : newline + 1;
        bool inTag = false;
        bool inValue = false;
        for (std::size_t i = lineStart; i < at && !inValue; ++i) {
            if (text[i] == '<') inTag = true;
            else if (text[i] == '>') inTag = false;
            else inValue = !inTag && text[i] == '=' && i > lineStart && IsKeyChar(text[i - 1]);
        }
        if (!inValue) return true;
    }
    return false;
}

}  // namespace

bool BuildAuthorizationLine(const CameraSettings& settings, std::string& line) {
    const std::string_view user = FieldText(settings.User);
    const std::string_view password = FieldText(settings.Password);
    const std::size_t credentials = user.size() + 1 + password.size();
    if (credentials > kHeaderCapacity) return Refuse("credentials", credentials, kHeaderCapacity);
    // Base64 grows the text by a third; refuse rather than send a cut login.
    if (BasicEncodedLength(credentials) > kHeaderCapacity)
        return Refuse("encoded credentials", BasicEncodedLength(credentials), kHeaderCapacity);
    std::string text = "Authorization: " + BasicAuthorization(user, password) + "\r\n\r\n";
    if (!Fits(text, "authorization line", kHeaderCapacity)) return false;
    line = std::move(text);
    return true;
}

bool BuildWriteQuery(const CameraSettings& s, ParameterGroup group, std::string& query) {
    const std::vector<const CameraKey*> sent = KeysSentBy(group);
    if (sent.empty()) {
        Diagnostic("no write request for group %d", WireNumber(group));
        return false;
    }
    std::string q;
    for (const CameraKey* k : sent) {
        const bool number = k->kind == KeyKind::Number || k->kind == KeyKind::Flag;
        if (number) AddNumber(q, k->camera.key, SentNumber(s, *k, group));
        else AddText(q, k->camera.key, FieldTextOf(s, *k));
    }
    if (!Fits(q, "query", kQueryCapacity)) return false;
    query = std::move(q);
    return true;
}

bool BuildParameterRequest(const CameraSettings& s, ParameterAction act, ParameterGroup group, std::string& request) {
    const char* path = GroupPath(group);
    if (path == nullptr) return false;
    // Only the writable groups have a write form; the short network form is write-only.
    std::string query;
    if (act == ParameterAction::Write) {
        if (!BuildWriteQuery(s, group, query)) return false;
    } else if (group == ParameterGroup::NetworkShort) {
        return false;
    }
    std::string line = std::string("GET ") + path + "?Act=" + std::to_string(WireNumber(act));
    if (group != ParameterGroup::Time) {
        const ParameterGroup page = group == ParameterGroup::NetworkShort ? ParameterGroup::Network : group;
        line += "&Page=" + std::to_string(WireNumber(page));
    }
    line += query;
    return Envelope(s, line, false, kRequestCapacity, request);
}

bool BuildSysinfoAuthRequest(const CameraSettings& s, std::string& request) {
    return Envelope(s, "GET /cgi-bin/config_sysinfo.cgi?Act=1&Page=1", false, kSmallRequestCapacity, request);
}

bool BuildScanRequest(const CameraSettings& s, std::string& request) {
    return Envelope(s, "GET /cgi-bin/ap_scan.cgi", true, kRequestCapacity, request);
}

bool BuildWpsStartRequest(const CameraSettings& s, std::string& request) {
    return Envelope(s, "GET /cgi-bin/wps.cgi", true, kSmallRequestCapacity, request);
}

bool BuildWpsStatusRequest(const CameraSettings& s, std::string& request) {
    return Envelope(s, "GET /cgi-bin/config_network.cgi?Act=3&Page=3&WPS&WPS_ACK", false, kSmallRequestCapacity,
                    request);
}

HttpStatus CheckReply(std::string_view reply, bool checkUnauthorized, bool requireWpaKeyMode) {
    // The reply is C text to the camera: what follows a stray NUL is not part of it.
    reply = reply.substr(0, reply.find('\0'));
    const ReplyStatus status = ReadReplyStatus(reply);
    const std::string_view body = status.body;
    if ((status.code == 404 && status.http10) || HasStatusText(body, "HTTP/1.0 404 Not Found")) return HttpStatus::NotFound10;
    if (status.code == 404 || HasStatusText(body, "404 Not Found")) return HttpStatus::NotFound;
    if (status.code == 402 || HasStatusText(body, "402 Failure")) return HttpStatus::Failure;
    if (checkUnauthorized && (status.code == 401 || HasStatusText(body, "Unauthorized"))) return HttpStatus::Unauthorized;
    if (requireWpaKeyMode && reply.find("WPAPSKeyM=") == std::string_view::npos) return HttpStatus::NoWpaKeyMode;
    return HttpStatus::Ok;
}

}  // namespace orvanta

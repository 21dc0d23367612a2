#include "core/camera/ListingServerQuery.h"

#include <cstdio>
#include <memory>

#include "core/camera/AccessPointScan.h"
#include "core/camera/CameraRequest.h"
#include "core/http/HttpTransport.h"
#include "core/camera/ParameterParser.h"
#include "core/camera/QueryEscape.h"
#include "core/http/HttpHead.h"
#include "core/base/Diagnostics.h"
#include "core/settings/FixedField.h"

namespace orvanta {

namespace {

constexpr std::string_view kCountKey = "Total Camera=";
constexpr std::string_view kMarker = "Camera=";
constexpr std::string_view kItemKeys[] = {"ID=", "IP=", "Port=", "Mac_address=", "Modelname="};

// Where the next camera marker starts at or after `from`: a "Camera=" at the
// start of a word, never the one inside "Total Camera=".
std::size_t NextMarker(std::string_view reply, std::size_t from) {
    for (std::size_t at = reply.find(kMarker, from); at != std::string_view::npos; at = reply.find(kMarker, at + 1)) {
        const bool wordStart = at == 0 || reply[at - 1] == ' ' || reply[at - 1] == '\r' || reply[at - 1] == '\n' ||
                               reply[at - 1] == '\t' || reply[at - 1] == '>';
        const bool inCount = at >= 6 && reply.substr(at - 6, kCountKey.size()) == kCountKey;
        if (wordStart && !inCount) return at;
    }
    return std::string_view::npos;
}

// The stretch of text describing each camera, in reply order. Each marker
// owns the text from after its value up to the next marker, so a camera
// missing an item never borrows its neighbour's. Servers that put the first
// camera's items straight after the count, without a marker, get that
// stretch as the first camera.
std::vector<std::string_view> ListingSections(std::string_view reply) {
    std::vector<std::string_view> sections;
    const std::size_t count = reply.find(kCountKey);
    std::size_t at = NextMarker(reply, 0);
    if (count != std::string_view::npos) {
        std::size_t lead = count + kCountKey.size();
        while (lead < reply.size() && reply[lead] >= '0' && reply[lead] <= '9') ++lead;
        const std::size_t leadEnd = at == std::string_view::npos || at < lead ? reply.size() : at;
        if (at == std::string_view::npos || at > lead) {
            const std::string_view head = reply.substr(lead, leadEnd - lead);
            for (const std::string_view key : kItemKeys) {
                if (head.find(key) != std::string_view::npos) {
                    sections.push_back(head);
                    break;
                }
            }
        }
    }
    while (at != std::string_view::npos && sections.size() < kMaxServerCameras) {
        // Past the marker and its value (the camera's number).
        std::size_t begin = at + kMarker.size();
        while (begin < reply.size() && reply[begin] != ' ' && reply[begin] != '\r' && reply[begin] != '\n' &&
               reply[begin] != '\t' && reply[begin] != '<')
            ++begin;
        const std::size_t next = NextMarker(reply, begin);
        sections.push_back(reply.substr(begin, (next == std::string_view::npos ? reply.size() : next) - begin));
        at = next;
    }
    return sections;
}

}  // namespace

bool BuildListingRequest(const ServerCredentials& credentials, ListingLogin login, std::string& request) {
    // The header line really starts with a space after the CR LF: the server
    // has always been sent it that way.
    std::string text = "GET /cgi-bin/Parameters?Act=1&Page=" + std::to_string(static_cast<int>(login)) +
                       "&ID=" + EscapeQueryValue(FieldText(credentials.ID)) +
                       "&Password=" + EscapeQueryValue(FieldText(credentials.Password)) +
                       " HTTP/1.0\r\n User-Agent: flash-1.0.1\r\n\r\n";
    if (text.size() > kRequestCapacity) {
        Diagnostic("request of %zu bytes exceeds its %zu-byte buffer, request not sent", text.size(),
                     kRequestCapacity);
        return false;
    }
    request = std::move(text);
    return true;
}

std::optional<std::vector<ServerCameraEntry>> ParseListingReply(std::string_view reply, ListingLogin login) {
    reply = reply.substr(0, reply.find('\0'));
    if (CheckReply(reply, false, false) != HttpStatus::Ok) return std::nullopt;
    // A refusal is a status, not the word inside a camera's own entry.
    if (login == ListingLogin::Device && CheckReply(reply, true, false) == HttpStatus::Unauthorized)
        return std::nullopt;
    int32_t count = 0;
    ExtractValue(count, "Total Camera=", reply);
    if (count < 0) count = 0;
    if (static_cast<uint32_t>(count) > kMaxServerCameras) count = static_cast<int32_t>(kMaxServerCameras);
    std::vector<ServerCameraEntry> entries(static_cast<std::size_t>(count), ServerCameraEntry{});
    const std::vector<std::string_view> sections = ListingSections(reply);
    for (std::size_t i = 0; i < entries.size() && i < sections.size(); ++i) {
        ServerCameraEntry& e = entries[i];
        ExtractApValue(e.ID, "ID=", sections[i]);
        ExtractApValue(e.IP, "IP=", sections[i]);
        ExtractApValue(e.Port, "Port=", sections[i]);
        ExtractApValue(e.Mac_address, "Mac_address=", sections[i]);
        ExtractApValue(e.Modelname, "Modelname=", sections[i]);
    }
    return entries;
}

std::optional<std::vector<ServerCameraEntry>> QueryServerCameras(const TransportSettings& limits,
                                                                 const Deadline& within,
                                                                 const ServerCredentials& credentials,
                                                                 uint32_t& countOut, const char* host,
                                                                 const char* port, ListingLogin login) {
    const Deadline deadline = within.Earlier(Deadline::After(limits.overallLimitMs));
    int fd = -1;
    if (ConnectPlain(limits, deadline, host, port, fd) != 0) return std::nullopt;
    std::string request;
    if (!BuildListingRequest(credentials, login, request)) {
        CloseSocket(fd);
        return std::nullopt;
    }
    if (SendHttpRequest(limits, deadline, fd, request.data(), request.size()) <= 0) {
        CloseSocket(fd);
        return std::nullopt;
    }
    auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
    const int n = ReceiveHttpResponse(limits, deadline, fd, reply.get(), kReplyCapacity);
    CloseSocket(fd);
    if (n <= 0) return std::nullopt;
    auto entries = ParseListingReply(std::string_view(reply.get(), static_cast<std::size_t>(n)), login);
    if (entries) countOut = static_cast<uint32_t>(entries->size());
    return entries;
}

ListingResult ClassifyListingReply(std::string_view reply, ListingLogin login) {
    ListingResult result;
    reply = reply.substr(0, reply.find('\0'));
    const int status = ReplyStatusCode(reply);
    const bool hasCount = reply.find(kCountKey) != std::string_view::npos;
    if (status == 401 || (!hasCount && reply.find("Unauthorized") != std::string_view::npos)) {
        result.outcome = ListingOutcome::Refused;
        result.why = "the listing server refused the ID and password";
        return result;
    }
    auto entries = ParseListingReply(reply, login);
    if (!entries || (status != 0 && (status < 200 || status > 299))) {
        result.why = status != 0 ? "the listing server answered with status " + std::to_string(status)
                                 : "the listing server answered with a failure text";
        return result;
    }
    if (!hasCount) {
        result.why = "the listing server's reply holds no camera count";
        return result;
    }
    result.outcome = ListingOutcome::Listed;
    result.entries = std::move(*entries);
    return result;
}

ListingResult QueryListing(const TransportSettings& limits, const Deadline& within,
                           const ServerCredentials& credentials, const char* host, const char* port,
                           ListingLogin login) {
    ListingResult result;
    result.outcome = ListingOutcome::NoAnswer;
    std::string request;
    if (!BuildListingRequest(credentials, login, request)) {
        result.outcome = ListingOutcome::Failed;
        result.why = "the request does not fit its buffer";
        return result;
    }
    const Deadline deadline = within.Earlier(Deadline::After(limits.overallLimitMs));
    int fd = -1;
    if (ConnectPlain(limits, deadline, host, port, fd) != 0) {
        result.why = std::string("no connection to the listing server ") + host + ":" + port;
        return result;
    }
    const bool sent = SendHttpRequest(limits, deadline, fd, request.data(), request.size()) > 0;
    auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
    const int n = sent ? ReceiveHttpResponse(limits, deadline, fd, reply.get(), kReplyCapacity) : 0;
    CloseSocket(fd);
    if (!sent || n <= 0) {
        result.why = sent ? "the listing server did not answer" : "the request could not be sent";
        return result;
    }
    return ClassifyListingReply(std::string_view(reply.get(), static_cast<std::size_t>(n)), login);
}

}  // namespace orvanta

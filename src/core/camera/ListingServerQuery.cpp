#include "core/camera/ListingServerQuery.h"

#include <cstdio>
#include <memory>

#include "core/camera/AccessPointScan.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/HttpTransport.h"
#include "core/camera/ParameterParser.h"
#include "core/camera/QueryEscape.h"
#include "core/camera/SequenceDeadline.h"
#include "core/settings/FixedField.h"

namespace orvanta {

bool BuildListingRequest(const ServerCredentials& credentials, int action, int loginType, std::string& request) {
    // The header line really starts with a space after the CR LF: the server
    // has always been sent it that way.
    std::string text = "GET /cgi-bin/Parameters?Act=" + std::to_string(action) + "&Page=" + std::to_string(loginType) +
                       "&ID=" + EscapeQueryValue(FieldText(credentials.ID)) +
                       "&Password=" + EscapeQueryValue(FieldText(credentials.Password)) +
                       " HTTP/1.0\r\n User-Agent: flash-1.0.1\r\n\r\n";
    if (text.size() > kRequestCapacity) {
        std::fprintf(stderr, "request of %zu bytes exceeds its %zu-byte buffer, request not sent\n", text.size(),
                     kRequestCapacity);
        return false;
    }
    request = std::move(text);
    return true;
}

std::optional<std::vector<ServerCameraEntry>> ParseListingReply(std::string_view reply, int loginType) {
    reply = reply.substr(0, reply.find('\0'));
    if (loginType != kLoginUser && loginType != kLoginDevice) return std::nullopt;
    if (CheckReply(reply, false, false) < 0) return std::nullopt;
    if (loginType == kLoginDevice && reply.find("Unauthorized") != std::string_view::npos) return std::nullopt;
    int32_t count = 0;
    ExtractValue(count, "Total Camera=", reply);
    if (count < 0) count = 0;
    if (static_cast<uint32_t>(count) > kMaxServerCameras) count = static_cast<int32_t>(kMaxServerCameras);
    std::vector<ServerCameraEntry> entries(static_cast<std::size_t>(count), ServerCameraEntry{});
    std::string_view work = reply;
    for (auto& e : entries) {
        const std::size_t marker = work.find("Camera=");
        if (marker == std::string_view::npos) break;
        // The marker and the one character after it are skipped.
        work.remove_prefix(marker + 8 <= work.size() ? marker + 8 : work.size());
        ExtractApValue(e.ID, "ID=", work);
        ExtractApValue(e.IP, "IP=", work);
        ExtractApValue(e.Port, "Port=", work);
        ExtractApValue(e.Mac_address, "Mac_address=", work);
        ExtractApValue(e.Modelname, "Modelname=", work);
    }
    return entries;
}

std::optional<std::vector<ServerCameraEntry>> QueryServerCameras(const ServerCredentials& credentials,
                                                                 uint32_t& countOut, const char* host,
                                                                 const char* port, int action, int loginType) {
    const SequenceDeadline overall;
    int fd = -1;
    if (ConnectPlain(host, port, fd) != 0) return std::nullopt;
    std::string request;
    if (action != kListingActionQuery || !BuildListingRequest(credentials, action, loginType, request)) {
        CloseSocket(fd);
        return std::nullopt;
    }
    if (SendHttpRequest(fd, request.data(), request.size()) <= 0) {
        CloseSocket(fd);
        return std::nullopt;
    }
    auto reply = std::make_unique<char[]>(kReplyCapacity + 1);
    const int n = ReceiveHttpResponse(fd, reply.get(), kReplyCapacity);
    CloseSocket(fd);
    if (n <= 0) return std::nullopt;
    auto entries = ParseListingReply(std::string_view(reply.get(), static_cast<std::size_t>(n)), loginType);
    if (entries) countOut = static_cast<uint32_t>(entries->size());
    return entries;
}

}  // namespace orvanta

#include "core/camera/CameraExchange.h"

#include "core/camera/HttpTransport.h"

namespace orvanta {

HttpResult ExchangeWithCamera(const CameraSettings& settings, const std::string& request, char* reply,
                              std::size_t capacity, bool requireReply, bool skipReceive) {
    int fd = -1;
    if (ConnectCamera(settings, settings.CamIP, settings.CamPort, fd) != 0) return kHttpConnectFailed;
    const int sent = SendHttpRequest(fd, request.data(), request.size());
    if (sent <= 0) {
        CloseSocket(fd);
        return kHttpSendFailed;
    }
    if (skipReceive) {
        CloseSocket(fd);
        return sent;
    }
    const int received = ReceiveHttpResponse(fd, reply, capacity);
    CloseSocket(fd);
    if (received <= 0 && requireReply) return kHttpNoReply;
    return received;
}

}  // namespace orvanta

#include "core/onvif/soap/SoapConnections.h"

#include "core/http/HttpTransport.h"

namespace orvanta::onvif {

namespace {

// More than a read runs at once is never needed; a camera serves few.
constexpr std::size_t kMostIdle = 8;

}  // namespace

SoapConnections::~SoapConnections() {
    for (const auto& [where, fd] : idle_) CloseSocket(fd);
}

int SoapConnections::Take(const std::string& host, const std::string& port) {
    const std::string where = host + ":" + port;
    const std::lock_guard lock(mutex_);
    for (auto it = idle_.begin(); it != idle_.end(); ++it) {
        if (it->first != where) continue;
        const int fd = it->second;
        idle_.erase(it);
        return fd;
    }
    return -1;
}

void SoapConnections::Give(const std::string& host, const std::string& port, int fd) {
    const std::lock_guard lock(mutex_);
    if (idle_.size() >= kMostIdle) {
        CloseSocket(fd);
        return;
    }
    idle_.emplace_back(host + ":" + port, fd);
}

}  // namespace orvanta::onvif

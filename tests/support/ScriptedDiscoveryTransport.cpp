#include "ScriptedDiscoveryTransport.h"

#include <algorithm>
#include <cstring>

namespace orvanta::discovery {

void ScriptedDiscoveryTransport::Deliver(const std::vector<uint8_t>& datagram) {
    for (auto& [handle, queue] : queues_) queue.push_back(datagram);
}

int ScriptedDiscoveryTransport::OpenReceiveSocket(uint16_t) {
    if (failOpen) return -1;
    ++opened;
    const int h = nextHandle_++;
    queues_[h];
    return h;
}

void ScriptedDiscoveryTransport::Close(int handle) { queues_.erase(handle); }

DiscoveryTransport::SendResult ScriptedDiscoveryTransport::SendBroadcast(uint32_t, uint16_t,
                                                                         const uint8_t* data,
                                                                         std::size_t length) {
    if (sendResult == Sent) {
        ++requestsSent;
        lastRequest.assign(data, data + length);
    }
    return sendResult;
}

int ScriptedDiscoveryTransport::Wait(const std::vector<int>& handles, int,
                                     std::vector<bool>& readable) {
    readable.assign(handles.size(), false);
    if (failWait) return -1;
    int n = 0;
    for (std::size_t i = 0; i < handles.size(); ++i) {
        const auto it = queues_.find(handles[i]);
        if (it == queues_.end()) return -1;  // not an open handle
        if (!it->second.empty()) {
            readable[i] = true;
            ++n;
        }
    }
    return n;
}

long ScriptedDiscoveryTransport::Receive(int handle, uint8_t* buffer, std::size_t capacity) {
    const auto it = queues_.find(handle);
    if (it == queues_.end() || it->second.empty()) return -1;
    const std::vector<uint8_t> d = std::move(it->second.front());
    it->second.pop_front();
    std::memcpy(buffer, d.data(), std::min(capacity, d.size()));
    return static_cast<long>(d.size());
}

}  // namespace orvanta::discovery

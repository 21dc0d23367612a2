#include "core/discovery/CVorel.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "core/discovery/DiscoveryRequest.h"
#include "core/discovery/LocalAddresses.h"

namespace orvanta::discovery {

namespace {

// At most this many distinct sockets are waited on at once.
constexpr std::size_t kMaxWaitSockets = 64;

uint32_t MonotonicTick() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

CVorel::CVorel() : CVorel(VorelSettings{}) {}

CVorel::CVorel(VorelSettings settings)
    : settings_(std::move(settings)),
      broadcastText_(kBroadcastText),
      port_(settings_.port),
      resendInterval_(settings_.resendIntervalSeconds),
      timeToLive_(settings_.timeToLiveSeconds) {
    // The socket library needs no start-up here.
    LoadLocalAddresses();
    lastSendTime_ = Now();
    records_.resize(static_cast<std::size_t>(settings_.initialRecordCapacity > 0
                                                 ? settings_.initialRecordCapacity
                                                 : 1));
}

CVorel::~CVorel() {
    CloseSockets();
    list_.Clear();
}

uint32_t CVorel::Now() const { return settings_.now ? settings_.now() : MonotonicTick(); }

bool CVorel::LookUp(std::vector<uint32_t>& addresses) const {
    addresses.clear();
    const bool ok = settings_.localAddresses ? settings_.localAddresses(addresses)
                                             : LoadHostIPv4Addresses(addresses);
    return ok && !addresses.empty();
}

bool CVorel::LoadLocalAddresses() {
    std::vector<uint32_t> found;
    if (!LookUp(found)) return false;
    // The slots are fixed by the first successful lookup; later lookups only
    // refresh their addresses.
    if (lookupFailed_ == 0) return true;
    localAddresses_ = found;
    addressCount_ = static_cast<int>(found.size());
    lastAddressText_ = Ipv4ToText(found.back());
    hostEntry_ = found;
    slots_.assign(found.size(), InterfaceSlot{});
    lookupFailed_ = 0;
    return true;
}

int CVorel::Search(DiscoveredCamera** records, int* count, int* capacity, int restart) {
    if (restart == 1) {
        // A restart alone never marks the list changed: a caller that redraws
        // only on 1 keeps the previous search's rows on a quiet network.
        list_.Clear();
        if (socketsOpen_) CloseSockets();
    }
    if (!Poll()) return -1;
    const int result = FormatRecords();
    if (records) *records = records_.data();
    if (count) *count = static_cast<int>(list_.Count());
    if (capacity) *capacity = static_cast<int>(records_.size());
    return result;
}

void CVorel::CloseSockets() {
    for (auto& slot : slots_) {
        if (slot.socket >= 0) ::close(slot.socket);
        slot.socket = -1;
    }
    socketsOpen_ = 0;
}

int CVorel::OpenReceiveSocket(uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int one = 1;
    // Several slots and both clients of the wizard bind the same port.
    if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0) {
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL, 0);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    // A thousand cameras answer within milliseconds of each other. Ask for a
    // large buffer; FORCE passes the system cap where the process may, and
    // the plain request is the fallback. Neither failing is fatal.
    const int bytes = settings_.receiveBufferBytes;
    if (bytes > 0 && ::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    addr.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool CVorel::Poll() {
    if (lookupFailed_ == 1) return false;
    if (!LookUp(hostEntry_)) return false;

    const uint32_t now = Now();
    const uint32_t sinceSend = now - lastSendTime_;
    if (sinceSend > static_cast<uint32_t>(resendInterval_) * 1000u || !socketsOpen_) {
        if (!socketsOpen_) {
            for (int i = 0; i < addressCount_ && i < static_cast<int>(hostEntry_.size()); ++i) {
                localAddresses_[i] = hostEntry_[i];
                lastAddressText_ = Ipv4ToText(hostEntry_[i]);
                InterfaceSlot& slot = slots_[i];
                slot.localAddress = localAddresses_[i];
                slot.broadcastAddress = INADDR_BROADCAST;
                slot.port = port_;
                slot.socket = OpenReceiveSocket(port_);
            }
            socketsOpen_ = 1;
        }
        SendRequest(&slots_[0]);
        lastSendTime_ = Now();
    }

    // Wait on the distinct sockets of all slots.
    std::vector<pollfd> fds;
    for (const auto& slot : slots_) {
        // A slot whose socket could not be opened makes every wait fail until
        // the next restart reopens it.
        if (slot.socket < 0) return false;
        bool seen = false;
        for (const auto& p : fds) seen = seen || p.fd == slot.socket;
        if (!seen && fds.size() < kMaxWaitSockets) fds.push_back(pollfd{slot.socket, POLLIN, 0});
    }

    const int waitMs = (settings_.waitMicroseconds + 999) / 1000;
    for (int cycle = 0; cycle < settings_.waitCycles; ++cycle) {
        for (auto& p : fds) p.revents = 0;
        const int ready = ::poll(fds.data(), fds.size(), waitMs);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (ready == 0) continue;
        for (int i = 0; i < static_cast<int>(slots_.size()); ++i) {
            bool readable = false;
            for (const auto& p : fds)
                if (p.fd == slots_[i].socket && (p.revents & (POLLIN | POLLERR))) readable = true;
            if (!readable) continue;
            for (int reads = 0; reads < settings_.maxReadsPerCycle; ++reads) {
                const int r = ReceiveReply(&slots_[i], &receiveBuffer_);
                if (r == 0) {
                    entryImage_.slotIndex = i;
                    entryImage_.receiveTime = Now();
                    entryImage_.payload = receiveBuffer_;
                    AddOrUpdate(entryImage_);
                    ExpireEntries();
                } else if (r == 1) {
                    if (!list_.Empty()) ExpireEntries();
                } else {
                    break;
                }
            }
        }
    }
    return true;
}

int CVorel::SendRequest(InterfaceSlot* slot) {
    FILE* diag = settings_.diagnostics;
    if (!slot) {
        if (diag) std::fprintf(diag, "Invalid handler !\n");
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one) != 0) {
        if (fd >= 0) ::close(fd);
        if (diag) std::fprintf(diag, "Failed in open sending socket !\n");
        return -3;
    }
    const DiscoveryRequest request = DiscoveryRequest::Build();
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = slot->broadcastAddress;
    to.sin_port = htons(static_cast<uint16_t>(slot->port & 0xFFFF));
    const ssize_t sent = ::sendto(fd, request.bytes.data(), request.bytes.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::close(fd);
    if (sent != static_cast<ssize_t>(request.bytes.size())) {
        if (diag) std::fprintf(diag, "Failed in send request message !\n");
        return -3;
    }
    return 0;
}

int CVorel::ReceiveReply(InterfaceSlot* slot, ReplyPayload* buffer) {
    FILE* diag = settings_.diagnostics;
    if (!slot) {
        if (diag) std::fprintf(diag, "Invalid handler !\n");
        return -1;
    }
    if (!buffer) {
        if (diag) std::fprintf(diag, "Invalid reply data buffer !\n");
        return -2;
    }
    buffer->fill(0);
    // MSG_TRUNC makes recv report a longer datagram's full length, so it is
    // refused as a receive failure instead of being read cut short.
    uint8_t datagram[kMaxReplySize];
    ssize_t n = ::recv(slot->socket, datagram, sizeof datagram, MSG_TRUNC);
    if (n > static_cast<ssize_t>(kMaxReplySize)) n = -1;
    if (diag) std::fprintf(diag, "recvfrom function return length = %d\n", static_cast<int>(n));
    if (n < 0) {
        if (diag) std::fprintf(diag, "Failed in receive reply message !\n");
        return -3;
    }
    return DiscoveryReply::Accept(datagram, static_cast<std::size_t>(n), *buffer, diag) ==
                   ReplyVerdict::Accepted
               ? 0
               : 1;
}

void CVorel::AddOrUpdate(const DiscoveryEntry& image) {
    DiscoveryEntry* match = list_.Find(image.payload.data() + kPayloadMac);
    if (!match) {
        list_.Append(image);
        changed_ = 1;
        return;
    }
    if (std::memcmp(match->payload.data() + kPayloadIp, image.payload.data() + kPayloadIp, 4) != 0)
        changed_ = 1;
    // Description, serial or ports alone do not mark a change; the record
    // picks them up at the next rebuild.
    list_.Refresh(*match, image);
}

void CVorel::ExpireEntries() {
    const uint32_t ttlMs = static_cast<uint32_t>(timeToLive_) * 1000u;
    if (list_.RemoveOlderThan(Now(), ttlMs) > 0) changed_ = 1;
}

int CVorel::FormatRecords() {
    if (list_.Count() >= records_.size()) records_.resize(list_.Count());
    if (!changed_) return 0;
    std::size_t i = 0;
    for (const auto& entry : list_.InArrivalOrder()) FormatDiscoveredCamera(entry.payload, records_[i++]);
    changed_ = 0;
    return 1;
}

}  // namespace orvanta::discovery

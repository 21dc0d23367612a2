#include "core/discovery/DiscoveryClient.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "core/discovery/DiscoveryRequest.h"
#include "core/discovery/LocalAddresses.h"
#include "core/discovery/PosixDiscoveryTransport.h"

namespace orvanta::discovery {

namespace {

constexpr uint32_t kAllOnes = 0xFFFFFFFFu;  // 255.255.255.255 in either byte order

// At most this many distinct sockets are waited on at once.
constexpr std::size_t kMaxWaitSockets = 64;

uint32_t MonotonicTick() {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

DiscoveryClient::DiscoveryClient() : DiscoveryClient(DiscoverySettings{}) {}

DiscoveryClient::DiscoveryClient(DiscoverySettings settings)
    : settings_(std::move(settings)),
      transport_(settings_.transport ? settings_.transport
                                     : std::make_shared<PosixDiscoveryTransport>(
                                           settings_.receiveBufferBytes)),
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

DiscoveryClient::~DiscoveryClient() {
    CloseSockets();
    list_.Clear();
}

uint32_t DiscoveryClient::Now() const { return settings_.now ? settings_.now() : MonotonicTick(); }

bool DiscoveryClient::LookUp(std::vector<uint32_t>& addresses) const {
    addresses.clear();
    const bool ok = settings_.localAddresses ? settings_.localAddresses(addresses)
                                             : LoadHostIPv4Addresses(addresses);
    return ok && !addresses.empty();
}

bool DiscoveryClient::LoadLocalAddresses() {
    std::vector<uint32_t> found;
    if (!LookUp(found)) return false;
    // The slots are fixed by the first successful lookup; later lookups only
    // refresh their addresses.
    if (lookupFailed_ == 0) return true;
    localAddresses_ = found;
    addressCount_ = static_cast<int>(found.size());
    hostEntry_ = found;
    slots_.assign(found.size(), InterfaceSlot{});
    lookupFailed_ = 0;
    return true;
}

SearchResult DiscoveryClient::Search(bool restart) {
    if (restart) {
        // A restart alone never marks the list changed: a caller that redraws
        // only on 1 keeps the previous search's rows on a quiet network.
        list_.Clear();
        if (socketsOpen_) CloseSockets();
    }
    if (!Poll()) return {};
    const SearchChange change = FormatRecords() == 1 ? SearchChange::Rebuilt : SearchChange::Unchanged;
    const std::size_t count = std::min(static_cast<std::size_t>(list_.Count()), records_.size());
    return {change, {records_.data(), count}};
}

void DiscoveryClient::CloseSockets() {
    for (auto& slot : slots_) {
        if (slot.socket >= 0) transport_->Close(slot.socket);
        slot.socket = -1;
    }
    socketsOpen_ = 0;
}

bool DiscoveryClient::Poll() {
    if (lookupFailed_ == 1) return false;
    if (!LookUp(hostEntry_)) return false;

    const uint32_t now = Now();
    const uint32_t sinceSend = now - lastSendTime_;
    if (sinceSend > static_cast<uint32_t>(resendInterval_) * 1000u || !socketsOpen_) {
        if (!socketsOpen_) {
            for (int i = 0; i < addressCount_ && i < static_cast<int>(hostEntry_.size()); ++i) {
                localAddresses_[i] = hostEntry_[i];
                InterfaceSlot& slot = slots_[i];
                slot.localAddress = localAddresses_[i];
                slot.broadcastAddress = kAllOnes;
                slot.port = port_;
                slot.socket = transport_->OpenReceiveSocket(port_);
            }
            socketsOpen_ = 1;
        }
        SendRequest(&slots_[0]);
        lastSendTime_ = Now();
    }

    // Wait on the distinct sockets of all slots. A slot whose socket could
    // not be opened keeps -1, which fails every wait until the next restart
    // reopens it.
    std::vector<int> handles;
    for (const auto& slot : slots_) {
        bool seen = false;
        for (int h : handles) seen = seen || h == slot.socket;
        if (!seen && handles.size() < kMaxWaitSockets) handles.push_back(slot.socket);
    }

    std::vector<bool> readable;
    for (int cycle = 0; cycle < settings_.waitCycles; ++cycle) {
        const int ready = transport_->Wait(handles, settings_.waitMicroseconds, readable);
        if (ready < 0) return false;
        if (ready == 0) continue;
        for (int i = 0; i < static_cast<int>(slots_.size()); ++i) {
            bool isReadable = false;
            for (std::size_t k = 0; k < handles.size(); ++k)
                isReadable = isReadable || (readable[k] && handles[k] == slots_[i].socket);
            if (!isReadable) continue;
            for (int reads = 0; reads < settings_.maxReadsPerCycle; ++reads) {
                const ReceiveOutcome r = ReceiveReply(&slots_[i], &receiveBuffer_);
                if (r == ReceiveOutcome::Accepted) {
                    entryImage_.slotIndex = i;
                    entryImage_.receiveTime = Now();
                    entryImage_.payload = receiveBuffer_;
                    AddOrUpdate(entryImage_);
                    ExpireEntries();
                } else if (r == ReceiveOutcome::Rejected) {
                    if (!list_.Empty()) ExpireEntries();
                } else {
                    break;
                }
            }
        }
    }
    return true;
}

DiscoveryClient::SendOutcome DiscoveryClient::SendRequest(InterfaceSlot* slot) {
    const bool diag = settings_.diagnostics;
    if (!slot) {
        if (diag) Diagnostic("Invalid handler !");
        return SendOutcome::NoSlot;
    }
    const DiscoveryRequest request = DiscoveryRequest::Build();
    const auto sent = transport_->SendBroadcast(slot->broadcastAddress,
                                                static_cast<uint16_t>(slot->port & 0xFFFF),
                                                request.bytes.data(), request.bytes.size());
    if (sent == DiscoveryTransport::OpenFailed) {
        if (diag) Diagnostic("Failed in open sending socket !");
        return SendOutcome::SocketFailed;
    }
    if (sent != DiscoveryTransport::Sent) {
        if (diag) Diagnostic("Failed in send request message !");
        return SendOutcome::SocketFailed;
    }
    return SendOutcome::Sent;
}

DiscoveryClient::ReceiveOutcome DiscoveryClient::ReceiveReply(InterfaceSlot* slot, ReplyPayload* buffer) {
    const bool diag = settings_.diagnostics;
    if (!slot) {
        if (diag) Diagnostic("Invalid handler !");
        return ReceiveOutcome::NoSlot;
    }
    if (!buffer) {
        if (diag) Diagnostic("Invalid reply data buffer !");
        return ReceiveOutcome::NoBuffer;
    }
    buffer->fill(0);
    // A datagram longer than the largest reply is a receive failure, not a
    // reply read cut short.
    uint8_t datagram[kMaxReplySize];
    long n = transport_->Receive(slot->socket, datagram, sizeof datagram);
    if (n > static_cast<long>(kMaxReplySize)) n = -1;
    if (diag) Diagnostic("recvfrom function return length = %d", static_cast<int>(n));
    if (n < 0) {
        if (diag) Diagnostic("Failed in receive reply message !");
        return ReceiveOutcome::NothingRead;
    }
    return DiscoveryReply::Accept(datagram, static_cast<std::size_t>(n), *buffer, diag) == ReplyVerdict::Accepted
               ? ReceiveOutcome::Accepted
               : ReceiveOutcome::Rejected;
}

void DiscoveryClient::AddOrUpdate(const DiscoveryEntry& image) {
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

void DiscoveryClient::ExpireEntries() {
    const uint32_t ttlMs = static_cast<uint32_t>(timeToLive_) * 1000u;
    if (list_.RemoveOlderThan(Now(), ttlMs) > 0) changed_ = 1;
}

int DiscoveryClient::FormatRecords() {
    if (list_.Count() >= records_.size()) records_.resize(list_.Count());
    if (!changed_) return 0;
    std::size_t i = 0;
    for (const auto& entry : list_.InArrivalOrder()) FormatDiscoveredCamera(entry.payload, records_[i++]);
    changed_ = 0;
    return 1;
}

}  // namespace orvanta::discovery

// The LAN discovery client. It keeps one receive socket per local IPv4
// address, broadcasts a search request every resend interval, collects the
// replies into a list keyed by MAC, drops cameras that stop answering and
// hands out the list as an array of text records. It does no waiting of its
// own beyond short socket waits: the caller drives it by calling Search from
// a timer, always from the same thread.
//
// Tests construct it with DiscoverySettings: their own address list and clock,
// shorter waits, and a scripted DiscoveryTransport so that a search runs
// against queued datagrams and nothing reaches the network.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/discovery/DiscoveredCamera.h"
#include "core/discovery/DiscoveryEntry.h"
#include "core/discovery/DiscoveryList.h"
#include "core/discovery/InterfaceSlot.h"
#include "core/discovery/SearchResult.h"
#include "core/discovery/DiscoverySettings.h"

namespace orvanta::discovery {

class DiscoveryClient {
public:
    DiscoveryClient();
    explicit DiscoveryClient(DiscoverySettings settings);
    virtual ~DiscoveryClient();

    DiscoveryClient(const DiscoveryClient&) = delete;
    DiscoveryClient& operator=(const DiscoveryClient&) = delete;

    // One search step. `restart` begins a new search (empties the list and
    // reopens the sockets, which also broadcasts at once); otherwise it
    // continues one.
    SearchResult Search(bool restart);

    bool LoadLocalAddresses();
    bool Poll();
    enum class SendOutcome { Sent, NoSlot, SocketFailed };
    SendOutcome SendRequest(InterfaceSlot* slot);
    // Accepted: `buffer` holds the reply's payload. Rejected: a datagram
    // that is not a camera's reply (the PC's own request, for one).
    enum class ReceiveOutcome { Accepted, Rejected, NoSlot, NoBuffer, NothingRead };
    ReceiveOutcome ReceiveReply(InterfaceSlot* slot, ReplyPayload* buffer);
    void AddOrUpdate(const DiscoveryEntry& image);
    void ExpireEntries();
    int FormatRecords();

    // Read-only views for callers and tests.
    bool Changed() const { return changed_ != 0; }
    bool LookupFailed() const { return lookupFailed_ != 0; }
    bool SocketsOpen() const { return socketsOpen_ != 0; }
    int AddressCount() const { return addressCount_; }
    const std::vector<InterfaceSlot>& Slots() const { return slots_; }
    const DiscoveryList& List() const { return list_; }
    int RecordCapacity() const { return static_cast<int>(records_.size()); }
    const DiscoveredCamera* Records() const { return records_.data(); }

private:
    uint32_t Now() const;
    bool LookUp(std::vector<uint32_t>& addresses) const;
    void CloseSockets();

    DiscoverySettings settings_;
    std::shared_ptr<DiscoveryTransport> transport_;
    int changed_ = 0;
    int lookupFailed_ = 1;
    uint16_t port_;
    int addressCount_ = 0;
    std::vector<uint32_t> hostEntry_;       // latest lookup
    std::vector<uint32_t> localAddresses_;  // network order, one per slot
    std::vector<InterfaceSlot> slots_;
    DiscoveryList list_;
    ReplyPayload receiveBuffer_{};
    DiscoveryEntry entryImage_{};
    uint32_t lastSendTime_ = 0;
    int socketsOpen_ = 0;
    int resendInterval_;
    int timeToLive_;
    std::vector<DiscoveredCamera> records_;
};

}  // namespace orvanta::discovery

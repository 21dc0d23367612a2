#include "core/discovery/DiscoveryList.h"

namespace orvanta::discovery {

DiscoveryList::MacKey DiscoveryList::KeyOf(const uint8_t* mac) {
    MacKey key = 0;
    for (int i = 0; i < 6; ++i) key = (key << 8) | mac[i];
    return key;
}

DiscoveryEntry* DiscoveryList::Find(const uint8_t* mac) {
    const auto it = byMac_.find(KeyOf(mac));
    return it == byMac_.end() ? nullptr : &*it->second.entry;
}

DiscoveryEntry& DiscoveryList::Append(const DiscoveryEntry& image) {
    entries_.push_back(image);
    auto entry = std::prev(entries_.end());
    entry->sequence = static_cast<int32_t>(entries_.size());
    byAge_.push_back(entry);
    byMac_[KeyOf(entry->payload.data() + kPayloadMac)] = Handles{entry, std::prev(byAge_.end())};
    return *entry;
}

void DiscoveryList::Refresh(DiscoveryEntry& entry, const DiscoveryEntry& image) {
    const int32_t sequence = entry.sequence;
    entry = image;
    entry.sequence = sequence;
    // The newest reply moves the entry to the young end; ticks only grow, so
    // byAge_ stays ordered by receive time.
    Handles& h = byMac_.at(KeyOf(entry.payload.data() + kPayloadMac));
    byAge_.splice(byAge_.end(), byAge_, h.age);
}

std::size_t DiscoveryList::RemoveOlderThan(uint32_t now, uint32_t ttlMs) {
    std::size_t removed = 0;
    while (!byAge_.empty()) {
        const Entries::iterator oldest = byAge_.front();
        // Unsigned difference: correct across the 32-bit tick's wrap.
        if (static_cast<uint32_t>(now - oldest->receiveTime) <= ttlMs) break;
        byMac_.erase(KeyOf(oldest->payload.data() + kPayloadMac));
        byAge_.pop_front();
        entries_.erase(oldest);
        ++removed;
    }
    if (removed) Renumber();
    return removed;
}

void DiscoveryList::Clear() {
    byMac_.clear();
    byAge_.clear();
    entries_.clear();
}

void DiscoveryList::Renumber() {
    int32_t n = 0;
    for (auto& e : entries_) e.sequence = ++n;
}

}  // namespace orvanta::discovery

#include "core/discovery/DiscoveryList.h"

namespace orvanta::discovery {

DiscoveryList::MacKey DiscoveryList::KeyOf(const uint8_t* mac) {
    MacKey key = 0;
    for (int i = 0; i < 6; ++i) key = (key << 8) | mac[i];
    return key;
}

const DiscoveryList::Entries& DiscoveryList::InArrivalOrder() const {
    if (!numbered_) Renumber();
    return entries_;
}

DiscoveryEntry* DiscoveryList::Find(const uint8_t* mac) {
    const auto it = byMac_.find(KeyOf(mac));
    return it == byMac_.end() ? nullptr : &*it->second.entry;
}

DiscoveryEntry& DiscoveryList::Append(const DiscoveryEntry& image) {
    if (entries_.size() >= maxEntries_) {
        const auto& victim = heardOnce_.empty() ? byAge_.front() : heardOnce_.back();
        Remove(byMac_.at(KeyOf(victim->payload.data() + kPayloadMac)).age);
    }
    entries_.push_back(image);
    auto entry = std::prev(entries_.end());
    if (numbered_) entry->sequence = static_cast<int32_t>(entries_.size());
    byAge_.push_back(entry);
    heardOnce_.push_back(entry);
    byMac_[KeyOf(entry->payload.data() + kPayloadMac)] =
        Handles{entry, std::prev(byAge_.end()), std::prev(heardOnce_.end())};
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
    if (h.once != heardOnce_.end()) {
        heardOnce_.erase(h.once);
        h.once = heardOnce_.end();
    }
}

void DiscoveryList::Remove(std::list<Entries::iterator>::iterator age) {
    const Entries::iterator entry = *age;
    const auto it = byMac_.find(KeyOf(entry->payload.data() + kPayloadMac));
    if (it->second.once != heardOnce_.end()) heardOnce_.erase(it->second.once);
    byMac_.erase(it);
    byAge_.erase(age);
    // Removing the tail leaves every other number right.
    if (std::next(entry) != entries_.end()) numbered_ = false;
    entries_.erase(entry);
}

std::size_t DiscoveryList::RemoveOlderThan(uint32_t now, uint32_t ttlMs) {
    std::size_t removed = 0;
    while (!byAge_.empty()) {
        // Unsigned difference: correct across the 32-bit tick's wrap.
        if (static_cast<uint32_t>(now - byAge_.front()->receiveTime) <= ttlMs) break;
        Remove(byAge_.begin());
        ++removed;
    }
    return removed;
}

void DiscoveryList::Clear() {
    byMac_.clear();
    byAge_.clear();
    heardOnce_.clear();
    entries_.clear();
    numbered_ = true;
}

void DiscoveryList::Renumber() const {
    int32_t n = 0;
    for (auto& e : entries_) e.sequence = ++n;
    numbered_ = true;
}

}  // namespace orvanta::discovery

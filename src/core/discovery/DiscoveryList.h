// The cameras heard, in the order their first reply arrived. Besides that
// order it keeps an index by MAC and the entries ordered by the time of their
// last reply, so that finding a camera and dropping the stale ones cost no
// walk through a list of thousands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <unordered_map>

#include "core/discovery/DiscoveryEntry.h"

namespace orvanta::discovery {

class DiscoveryList {
public:
    using Entries = std::list<DiscoveryEntry>;

    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const Entries& InArrivalOrder() const { return entries_; }

    // The entry whose payload carries these 6 MAC bytes, or null.
    DiscoveryEntry* Find(const uint8_t* mac);

    // Appends a copy of `image` at the tail; its sequence is its position.
    DiscoveryEntry& Append(const DiscoveryEntry& image);

    // Overwrites an entry found by Find with a newer reply; its place in the
    // arrival order stays, and it becomes the most recently heard.
    void Refresh(DiscoveryEntry& entry, const DiscoveryEntry& image);

    // Removes every entry whose age at `now` exceeds `ttlMs` and renumbers
    // the rest. Returns how many were removed.
    std::size_t RemoveOlderThan(uint32_t now, uint32_t ttlMs);

    void Clear();

private:
    using MacKey = uint64_t;
    static MacKey KeyOf(const uint8_t* mac);
    void Renumber();

    Entries entries_;
    // Ages are taken in the order of the last reply, oldest first; each
    // element points at its entry in `entries_`.
    std::list<Entries::iterator> byAge_;
    struct Handles {
        Entries::iterator entry;
        std::list<Entries::iterator>::iterator age;
    };
    std::unordered_map<MacKey, Handles> byMac_;
};

}  // namespace orvanta::discovery

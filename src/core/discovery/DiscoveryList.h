// The cameras heard, in the order their first reply arrived. Besides that
// order it keeps an index by MAC and the entries ordered by the time of their
// last reply, so that finding a camera and dropping the stale ones cost no
// walk through a list of thousands.
//
// The list is bounded: every datagram with a new MAC would otherwise cost an
// entry (and a record of the client's), and a flood of made-up MACs would
// take the memory of the PC. When it is full, a new camera takes the place of
// the latest newcomer that has answered only once (a made-up MAC never
// answers twice), else of the longest-unheard camera of all. Replacing the
// latest newcomer keeps the cameras that answered first (right after the
// request, before a flood could crowd them out) until their next answer
// confirms them; under a flood only that one place changes hands.
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

    // Room for three times the largest installation a search must list whole
    // (5000 cameras); with the client's records about 35 MB when full.
    static constexpr std::size_t kDefaultMaxEntries = 16384;

    explicit DiscoveryList(std::size_t maxEntries = kDefaultMaxEntries)
        : maxEntries_(maxEntries > 0 ? maxEntries : 1) {}

    std::size_t Count() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    // The entries from the head, each numbered with its position.
    const Entries& InArrivalOrder() const;

    // The entry whose payload carries these 6 MAC bytes, or null.
    DiscoveryEntry* Find(const uint8_t* mac);

    // Appends a copy of `image` at the tail; its sequence is its position.
    // A full list first drops one entry, as told above.
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
    void Remove(std::list<Entries::iterator>::iterator age);
    void Renumber() const;

    std::size_t maxEntries_;
    // Positions are numbered when the list is next read, not at every change:
    // a flood changes the list on every datagram.
    mutable Entries entries_;
    mutable bool numbered_ = true;
    // Ages are taken in the order of the last reply, oldest first; each
    // element points at its entry in `entries_`.
    std::list<Entries::iterator> byAge_;
    // The entries heard only once, in order of arrival.
    std::list<Entries::iterator> heardOnce_;
    struct Handles {
        Entries::iterator entry;
        std::list<Entries::iterator>::iterator age;
        std::list<Entries::iterator>::iterator once;  // heardOnce_.end() when heard again
    };
    std::unordered_map<MacKey, Handles> byMac_;
};

}  // namespace orvanta::discovery

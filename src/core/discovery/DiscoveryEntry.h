// One camera heard by the discovery client: where and when its last reply
// was read, and that reply's payload.
#pragma once

#include <cstdint>

#include "core/discovery/DiscoveryReply.h"

namespace orvanta::discovery {

struct DiscoveryEntry {
    int32_t sequence = 0;      // position in the list, 1 for the head
    int32_t slotIndex = 0;     // interface slot whose socket read the reply
    uint32_t receiveTime = 0;  // millisecond tick
    ReplyPayload payload{};
};

}  // namespace orvanta::discovery

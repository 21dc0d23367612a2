// What one search step hands back: how the list of cameras heard changed,
// and the list itself.
#pragma once

#include <span>

#include "core/discovery/DiscoveredCamera.h"

namespace orvanta::discovery {

enum class SearchChange {
    Failed,     // the wait failed; the previous list is all there is
    Unchanged,  // the records are as the previous step left them
    Rebuilt,    // a camera came, changed or went
};

struct SearchResult {
    SearchChange change = SearchChange::Failed;
    // Every camera heard so far (none when the step failed); owned by the
    // client and valid until its next step or its end.
    std::span<const DiscoveredCamera> cameras;
};

}  // namespace orvanta::discovery

// Any bytes as a script for the time-limit logic of the camera transport:
// nested deadlines counted down on a made-up clock, and a reply arriving in
// pieces whose announced length is worked out after each piece. Traps on a
// wait that overshoots its deadline, spins at zero before it, or a reply end
// that moves or lies inside the header.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/base/Deadline.h"
#include "core/http/ReplyLength.h"

namespace {

using orvanta::Deadline;
using Clock = Deadline::Clock;

// Three bytes a step: a limit (negative: none), the time that passes, a slice.
void RunDeadlines(const uint8_t* data, size_t size, size_t steps) {
    Clock::time_point now = Clock::time_point{} + std::chrono::hours(1);
    std::vector<Deadline> nested{Deadline::Never()};
    for (size_t i = 0; i + 3 <= size && i / 3 < steps; i += 3) {
        const int limit = static_cast<int8_t>(data[i]) * 7;
        const auto passes = std::chrono::microseconds(data[i + 1] * 997);
        const int slice = static_cast<int8_t>(data[i + 2]) * 5;
        if (limit % 2 == 0 && nested.size() < 16) {
            nested.push_back(nested.back().Earlier(Deadline::After(limit, now)));
        } else if (nested.size() > 1) {
            nested.pop_back();
        }
        now += passes;
        const Deadline& d = nested.back();
        const int wait = d.NextWaitMs(slice, now);
        const int whole = slice < 0 ? 0 : slice;
        if (wait < 0 || wait > whole) __builtin_trap();
        if (d.Passed(now) && wait != 0) __builtin_trap();
        // Before the deadline a positive slice never becomes a zero wait.
        if (!d.Passed(now) && whole > 0 && wait == 0) __builtin_trap();
        // A wait ends at most one rounding millisecond past the deadline.
        if (!d.IsNever() && wait > 0 && !d.Passed(now + std::chrono::milliseconds(wait))) {
            if (wait != whole) __builtin_trap();
        }
        // The inner deadline is never later than the ones around it.
        for (const Deadline& outer : nested)
            if (outer.Passed(now) && !d.Passed(now)) __builtin_trap();
    }
}

// The rest as a reply in pieces: once its end is known it never moves, and
// it never lies before the end of the header block that announced it.
void RunReply(std::string_view reply) {
    std::optional<size_t> known;
    size_t have = 0;
    size_t piece = 1;
    while (have < reply.size()) {
        have = std::min(reply.size(), have + piece);
        piece = piece * 3 % 17 + 1;
        const std::optional<size_t> end = orvanta::AnnouncedReplyLength(reply.substr(0, have));
        if (known && end != known) __builtin_trap();
        if (end) {
            // A known end means the header is over.
            if (orvanta::InsideReplyHeader(reply.substr(0, have))) __builtin_trap();
            if (reply.substr(0, 5) != "HTTP/") __builtin_trap();
            const size_t blank = reply.substr(0, have).find("\n\r\n");
            const size_t bare = reply.substr(0, have).find("\n\n");
            const size_t header = std::min(blank == std::string_view::npos ? blank : blank + 3,
                                           bare == std::string_view::npos ? bare : bare + 2);
            if (header == std::string_view::npos || *end < header) __builtin_trap();
        }
        known = end;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte splits the input between the two scripts.
    const size_t steps = data[0];
    RunDeadlines(data + 1, size - 1, steps);
    const size_t used = std::min(size - 1, steps * 3);
    RunReply(std::string_view(reinterpret_cast<const char*>(data + 1 + used), size - 1 - used));
    return 0;
}

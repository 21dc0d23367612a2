// What one camera operation (log in, read, save, scan) did: an outcome the
// caller switches on, the request that decided it, and the steps done before
// it, so each caller words the same facts its own way.
#pragma once

#include <functional>
#include <vector>

#include "core/http/HttpResult.h"

namespace orvanta {

enum class CameraOutcome {
    Done,
    LoginRequired,  // the empty login was refused and no credentials were given
    Refused,        // the given credentials were refused
    Failed,         // a request failed: `last` says how
    NoScan,         // the camera answered, but its reply held no access-point scan
    Cancelled,      // the record's KeepConnecting was cleared between two steps
};

struct CameraResult {
    CameraOutcome outcome = CameraOutcome::Done;
    // The request that decided the outcome (for Done: the last one).
    HttpResult last;
    // Its name ("write ddns", ...); empty when no request was made.
    const char* step = "";
    // The HTTP status code of a write's reply, 0 when it had no status line.
    int replyCode = 0;
    // Every step that ended well, in order.
    std::vector<const char*> done;

    bool ok() const { return outcome == CameraOutcome::Done; }
};

// One step of an operation as it ends: its name, its result, and how far the
// operation has come (`done` of `total` steps; the total may grow once the
// camera says it has wireless).
struct CameraStep {
    const char* name = "";
    HttpResult result;
    int done = 0;
    int total = 0;
};
using StepReport = std::function<void(const CameraStep&)>;

}  // namespace orvanta

// The read and the two saves for callers that hold only transport limits
// (benchmarks, lab programs): the operations of a NetworkCameraService made
// with those limits (see CameraService.h). Each stops at the first failing request, stops
// within one wait once `KeepConnecting` has been cleared, and ends with
// HttpStatus::TimedOut once its overall limit (`limits.overallLimitMs`, counted
// from its start, or an earlier SequenceDeadline around it) passes.
#pragma once

#include <functional>
#include <vector>

#include "core/camera/AccessPointScan.h"
#include "core/camera/HttpResult.h"
#include "core/camera/TransportSettings.h"
#include "core/settings/CameraSettings.h"

namespace orvanta {

struct SequenceOutcome {
    bool succeeded = false;
    // The failing request's result (for a failed scan: the scan's own result,
    // which is Ok with a length when the reply held no scan).
    HttpResult lastResult;
};

// Told of each request as it completes: a short name ("write sysinfo",
// "read time", ...) and its result. Optional.
using SequenceObserver = std::function<void(const char* step, HttpResult result)>;

// Pages 23, 1, 3, 13 and the time group; then `Loaded`, page 32, and the
// access point scan when the camera has wireless (a failed scan fails).
SequenceOutcome RunReadSequence(const TransportSettings& limits, CameraSettings& settings,
                                std::vector<AccessPointEntry>& apList, const SequenceObserver& observer = {});

// System, DDNS and time written; then the full network form, whose answer is
// not looked at (the camera may move to its new address at once).
SequenceOutcome RunNormalSave(const TransportSettings& limits, CameraSettings& settings,
                              const SequenceObserver& observer = {});

// System and DDNS written, the time group read, the short network form written.
SequenceOutcome RunWpsSave(const TransportSettings& limits, CameraSettings& settings,
                           const SequenceObserver& observer = {});

}  // namespace orvanta

// The overall limit of a camera sequence (a read, a save, a scan, a WPS
// query, a listing query): every request made on this thread while a
// SequenceDeadline lives stops waiting when it passes, whatever its own
// per-request limits still allow. Scopes nest; the earlier deadline wins, so
// a command that opens one around several sequences bounds them all.
//
// The deadline is kept per thread: a sequence runs on one thread (the
// worker's or the user interface's), and the request functions keep the
// signatures their callers know. Only our own cameras' requests still read
// it, at one place each (ExchangeWithCamera, the listing query), and hand
// the deadline on as a value to the HTTP layer; the ONVIF side and the HTTP
// layer take their deadline from the caller. It goes once the camera
// service's operations take a deadline of their own.
#pragma once

#include "core/base/Deadline.h"
#include "core/http/TransportSettings.h"

namespace orvanta {

class SequenceDeadline {
public:
    // The overall limit of `limits`, from now.
    explicit SequenceDeadline(const TransportSettings& limits);
    // `limitMs` from now; 0 or less adds no limit of its own.
    explicit SequenceDeadline(int limitMs);
    ~SequenceDeadline();
    SequenceDeadline(const SequenceDeadline&) = delete;
    SequenceDeadline& operator=(const SequenceDeadline&) = delete;

    // The deadline in force on this thread (Never outside every scope).
    static Deadline Current();
    // True once the deadline in force on this thread has passed.
    static bool Passed();

private:
    Deadline outer_;
};

}  // namespace orvanta

#include "core/camera/SequenceDeadline.h"

namespace orvanta {

namespace {
thread_local Deadline t_current = Deadline::Never();
}  // namespace

SequenceDeadline::SequenceDeadline(const TransportSettings& limits) : SequenceDeadline(limits.overallLimitMs) {}

SequenceDeadline::SequenceDeadline(int limitMs) : outer_(t_current) {
    t_current = outer_.Earlier(Deadline::After(limitMs));
}

SequenceDeadline::~SequenceDeadline() { t_current = outer_; }

Deadline SequenceDeadline::Current() { return t_current; }

bool SequenceDeadline::Passed() { return t_current.Passed(); }

}  // namespace orvanta

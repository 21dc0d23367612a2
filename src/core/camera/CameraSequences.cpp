#include "core/camera/CameraSequences.h"

#include "core/camera/NetworkCameraService.h"

namespace orvanta {

namespace {

SequenceOutcome Outcome(const CameraResult& r) {
    // A read whose scan held nothing reports the scan's own (Ok) result.
    return SequenceOutcome{r.ok(), r.ok() ? HttpResult{} : r.last};
}

StepReport Observe(const SequenceObserver& observer) {
    if (!observer) return {};
    return [&observer](const CameraStep& step) { observer(step.name, step.result); };
}

}  // namespace

SequenceOutcome RunReadSequence(const TransportSettings& limits, CameraSettings& settings,
                                std::vector<AccessPointEntry>& apList, const SequenceObserver& observer) {
    NetworkCameraService camera(limits);
    return Outcome(camera.Read(settings, apList, Observe(observer)));
}

SequenceOutcome RunNormalSave(const TransportSettings& limits, CameraSettings& settings,
                              const SequenceObserver& observer) {
    NetworkCameraService camera(limits);
    const CameraResult r = camera.Save(settings, SaveForm::Normal, Observe(observer));
    return SequenceOutcome{r.ok(), r.last};
}

SequenceOutcome RunWpsSave(const TransportSettings& limits, CameraSettings& settings,
                           const SequenceObserver& observer) {
    NetworkCameraService camera(limits);
    const CameraResult r = camera.Save(settings, SaveForm::AfterWps, Observe(observer));
    return SequenceOutcome{r.ok(), r.last};
}

}  // namespace orvanta

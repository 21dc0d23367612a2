#include "core/camera/CameraSequences.h"

#include "core/camera/CameraParameters.h"
#include "core/camera/CameraRequest.h"
#include "core/camera/SequenceDeadline.h"

namespace orvanta {

namespace {

SequenceOutcome Failed(HttpResult r) { return SequenceOutcome{false, r}; }

const char* ReadName(int group) {
    switch (group) {
        case kPageVersion: return "read version";
        case kPageSysinfo: return "read sysinfo";
        case kPageNetwork: return "read network";
        case kPageDdns: return "read ddns";
        case kSelectorTime: return "read time";
        case kPageCapabilities: return "read capabilities";
        case kPageNatStatus: return "read nat status";
        default: return "read";
    }
}

const char* WriteName(int group) {
    switch (group) {
        case kPageSysinfo: return "write sysinfo";
        case kPageDdns: return "write ddns";
        case kSelectorTime: return "write time";
        case kPageNetwork: return "write network";
        case kSelectorNetworkShort: return "write network (short form)";
        default: return "write";
    }
}

HttpResult Read(const TransportSettings& limits, CameraSettings& s, int group, const SequenceObserver& observer) {
    const HttpResult r = ReadParameters(limits, s, group);
    if (observer) observer(ReadName(group), r);
    return r;
}

HttpResult Write(const TransportSettings& limits, CameraSettings& s, int group, const SequenceObserver& observer) {
    const HttpResult r = WriteParameters(limits, s, group);
    if (observer) observer(WriteName(group), r);
    return r;
}

}  // namespace

SequenceOutcome RunReadSequence(const TransportSettings& limits, CameraSettings& settings,
                                std::vector<AccessPointEntry>& apList, const SequenceObserver& observer) {
    const SequenceDeadline overall(limits);
    apList.clear();
    for (const int group : {kPageVersion, kPageSysinfo, kPageNetwork, kPageDdns, kSelectorTime}) {
        const HttpResult r = Read(limits, settings, group, observer);
        if (r.Failed()) return Failed(r);
    }
    settings.Loaded = 1;
    const HttpResult caps = Read(limits, settings, kPageCapabilities, observer);
    if (caps.Failed()) return Failed(caps);
    if (settings.HasWireless == 1) {
        settings.APScanOK = 0;
        HttpResult scan;
        apList = ScanAccessPoints(limits, settings, &scan);
        if (observer) observer("scan access points", scan);
        if (settings.APScanOK == 0) return Failed(scan);
    }
    return SequenceOutcome{true, {}};
}

SequenceOutcome RunNormalSave(const TransportSettings& limits, CameraSettings& settings,
                              const SequenceObserver& observer) {
    const SequenceDeadline overall(limits);
    for (const int group : {kPageSysinfo, kPageDdns, kSelectorTime}) {
        const HttpResult r = Write(limits, settings, group, observer);
        if (r.Failed()) return Failed(r);
    }
    // The camera may apply the new address before it answers, or restart:
    // once the network write has gone out, the save has done its part. A
    // write that never left (no connection, cancelled, refused as too long)
    // changed nothing on the camera and is a failure; so is one that ran out
    // of time before it was sent whole.
    bool sent = false;
    const HttpResult network = WriteParameters(limits, settings, kPageNetwork, &sent);
    if (observer) observer(WriteName(kPageNetwork), network);
    if (!sent) return Failed(network.Failed() ? network : HttpResult(HttpStatus::SendFailed));
    return SequenceOutcome{true, network};
}

SequenceOutcome RunWpsSave(const TransportSettings& limits, CameraSettings& settings,
                           const SequenceObserver& observer) {
    const SequenceDeadline overall(limits);
    HttpResult r = Write(limits, settings, kPageSysinfo, observer);
    if (r.Failed()) return Failed(r);
    r = Write(limits, settings, kPageDdns, observer);
    if (r.Failed()) return Failed(r);
    r = Read(limits, settings, kSelectorTime, observer);
    if (r.Failed()) return Failed(r);
    r = Write(limits, settings, kSelectorNetworkShort, observer);
    if (r.Failed()) return Failed(r);
    return SequenceOutcome{true, r};
}

}  // namespace orvanta

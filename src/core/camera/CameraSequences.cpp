#include "core/camera/CameraSequences.h"

#include "core/camera/CameraParameters.h"
#include "core/camera/CameraRequest.h"

namespace orvanta {

namespace {

SequenceOutcome Failed(HttpResult r) { return SequenceOutcome{false, r}; }

}  // namespace

SequenceOutcome RunReadSequence(CameraSettings& settings, std::vector<AccessPointEntry>& apList) {
    apList.clear();
    for (const int group : {kPageVersion, kPageSysinfo, kPageNetwork, kPageDdns, kSelectorTime}) {
        const HttpResult r = ReadParameters(settings, group);
        if (r < 0) return Failed(r);
    }
    settings.Loaded = 1;
    const HttpResult caps = ReadParameters(settings, kPageCapabilities);
    if (caps < 0) return Failed(caps);
    if (settings.HasWireless == 1) {
        settings.APScanOK = 0;
        HttpResult scan = 0;
        apList = ScanAccessPoints(settings, &scan);
        if (settings.APScanOK == 0) return Failed(scan);
    }
    return SequenceOutcome{true, 0};
}

SequenceOutcome RunNormalSave(CameraSettings& settings) {
    for (const int group : {kPageSysinfo, kPageDdns, kSelectorTime}) {
        const HttpResult r = WriteParameters(settings, group);
        if (r < 0) return Failed(r);
    }
    // The camera may apply the new address before it answers, or restart:
    // once the network write has gone out, the save has done its part. A
    // write that never left (no connection, cancelled, refused as too long)
    // changed nothing on the camera and is a failure.
    const HttpResult network = WriteParameters(settings, kPageNetwork);
    if (network == kHttpConnectFailed || network == kHttpSendFailed) return Failed(network);
    return SequenceOutcome{true, network};
}

SequenceOutcome RunWpsSave(CameraSettings& settings) {
    HttpResult r = WriteParameters(settings, kPageSysinfo);
    if (r < 0) return Failed(r);
    r = WriteParameters(settings, kPageDdns);
    if (r < 0) return Failed(r);
    r = ReadParameters(settings, kSelectorTime);
    if (r < 0) return Failed(r);
    r = WriteParameters(settings, kSelectorNetworkShort);
    if (r < 0) return Failed(r);
    return SequenceOutcome{true, r};
}

}  // namespace orvanta

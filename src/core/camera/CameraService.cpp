#include "core/camera/CameraService.h"

#include "core/camera/CameraRequest.h"
#include "core/camera/HttpTransport.h"
#include "core/settings/FixedField.h"
#include "core/text/AddressText.h"

namespace orvanta {

namespace {

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

// The steps of one operation: counts them, tells the caller of each, and
// keeps the result the operation ends with.
class Steps {
public:
    Steps(const CameraSettings& settings, const StepReport& report, int total)
        : settings_(settings), report_(report), total_(total) {}

    void AddToTotal(int more) { total_ += more; }
    // Records a step's end; false when it failed (the result then says how).
    bool Ended(const char* name, HttpResult r, int replyCode = 0) {
        result_.last = r;
        result_.step = name;
        result_.replyCode = replyCode;
        if (report_) report_(CameraStep{name, r, static_cast<int>(result_.done.size()) + 1, total_});
        if (r.Failed()) {
            result_.outcome = r.status == HttpStatus::Unauthorized ? CameraOutcome::Refused : CameraOutcome::Failed;
            return false;
        }
        result_.outcome = CameraOutcome::Done;
        result_.done.push_back(name);
        return true;
    }
    // False (and Cancelled) once the caller has called the operation off.
    bool GoOn() {
        if (KeepConnectingNow(settings_)) return true;
        // In the words of a request: a connect that was called off.
        result_.outcome = CameraOutcome::Cancelled;
        result_.last = HttpStatus::ConnectFailed;
        result_.step = "";
        return false;
    }
    CameraResult& Result() { return result_; }

private:
    const CameraSettings& settings_;
    StepReport report_;
    int total_;
    CameraResult result_;
};

void UseLogin(const CameraLogin& given, CameraSettings& s) {
    if (given.user) SetField(s.User, *given.user);
    if (given.password) SetField(s.Password, *given.password);
}

}  // namespace

CameraResult CameraService::LogIn(CameraSettings& settings, const CameraLogin& given, const StepReport& report) {
    const auto scope = BeginOperation();
    Steps steps(settings, report, given.any() ? 2 : 1);
    SetField(settings.User, "");
    SetField(settings.Password, "");
    if (steps.Ended("log in", ReadGroup(settings, kPageSysinfo))) return steps.Result();
    CameraResult& first = steps.Result();
    if (first.outcome != CameraOutcome::Refused) return first;
    if (!given.any()) {
        first.outcome = CameraOutcome::LoginRequired;
        return first;
    }
    if (!steps.GoOn()) return steps.Result();
    // The credentials stay in the record also when refused: the caller
    // shows what was tried, and a retry starts from it.
    UseLogin(given, settings);
    steps.Ended("log in with the given credentials", ReadGroup(settings, kPageSysinfo));
    return steps.Result();
}

CameraResult CameraService::LogInAs(CameraSettings& settings, const CameraLogin& given, const StepReport& report) {
    const auto scope = BeginOperation();
    Steps steps(settings, report, 1);
    UseLogin(given, settings);
    steps.Ended("log in with the given credentials", ReadGroup(settings, kPageSysinfo));
    return steps.Result();
}

CameraResult CameraService::Read(CameraSettings& settings, std::vector<AccessPointEntry>& apList,
                                 const StepReport& report) {
    const auto scope = BeginOperation();
    Steps steps(settings, report, 6);
    apList.clear();
    for (const int group : {kPageVersion, kPageSysinfo, kPageNetwork, kPageDdns, kSelectorTime}) {
        if (!steps.GoOn() || !steps.Ended(ReadName(group), ReadGroup(settings, group))) return steps.Result();
    }
    settings.Loaded = 1;
    if (!steps.GoOn() || !steps.Ended(ReadName(kPageCapabilities), ReadGroup(settings, kPageCapabilities)))
        return steps.Result();
    if (settings.HasWireless != 1) return steps.Result();
    steps.AddToTotal(1);
    if (!steps.GoOn()) return steps.Result();
    settings.APScanOK = 0;
    HttpResult scan;
    apList = RequestAccessPointScan(settings, &scan);
    if (steps.Ended("scan access points", scan) && settings.APScanOK == 0) steps.Result().outcome = CameraOutcome::NoScan;
    return steps.Result();
}

CameraResult CameraService::Save(CameraSettings& settings, SaveForm form, const StepReport& report) {
    const auto scope = BeginOperation();
    Steps steps(settings, report, 4);
    const auto write = [&](int group) {
        if (!steps.GoOn()) return false;
        const WriteAnswer a = WriteGroup(settings, group);
        return steps.Ended(WriteName(group), a.result, a.code);
    };
    if (form == SaveForm::AfterWps) {
        if (write(kPageSysinfo) && write(kPageDdns) && steps.GoOn() &&
            steps.Ended(ReadName(kSelectorTime), ReadGroup(settings, kSelectorTime)))
            write(kSelectorNetworkShort);
        return steps.Result();
    }
    if (!write(kPageSysinfo) || !write(kPageDdns) || !write(kSelectorTime) || !steps.GoOn()) return steps.Result();
    // The camera may apply the new address before it answers, or restart:
    // once the network write has gone out, the save has done its part. A
    // write that never left (no connection, cancelled, refused as too long)
    // changed nothing on the camera and is a failure; so is one that ran out
    // of time before it was sent whole.
    const WriteAnswer network = WriteGroup(settings, kPageNetwork);
    if (!network.sent) {
        steps.Ended(WriteName(kPageNetwork), network.result.Failed() ? network.result : HttpStatus::SendFailed);
        return steps.Result();
    }
    steps.Ended(WriteName(kPageNetwork), network.result, network.code);
    CameraResult& r = steps.Result();
    r.outcome = CameraOutcome::Done;
    return r;
}

CameraResult CameraService::ScanAccessPoints(CameraSettings& settings, std::vector<AccessPointEntry>& apList,
                                             const StepReport& report) {
    const auto scope = BeginOperation();
    Steps steps(settings, report, 1);
    settings.APScanOK = 0;
    HttpResult scan;
    apList = RequestAccessPointScan(settings, &scan);
    if (steps.Ended("scan access points", scan) && settings.APScanOK == 0) steps.Result().outcome = CameraOutcome::NoScan;
    return steps.Result();
}

void CameraService::AimAtFound(CameraSettings& settings, const discovery::DiscoveredCamera& found) {
    SetField(settings.CamIP, FieldText(found.IpText));
    SetField(settings.CamPort, FieldText(found.PortText));
    if (!ParseIpv4(settings.CamIP, settings.CamAddr)) settings.CamAddr = 0xFFFFFFFFu;
}

CameraResult CameraService::ReadFoundAgain(CameraSettings& settings, const discovery::DiscoveredCamera& found) {
    AimAtFound(settings, found);
    const auto scope = BeginOperation();
    Steps steps(settings, {}, 1);
    steps.Ended(ReadName(kPageNatStatus), ReadGroup(settings, kPageNatStatus));
    return steps.Result();
}

}  // namespace orvanta

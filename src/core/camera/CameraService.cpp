#include "core/camera/CameraService.h"

#include "core/camera/CameraRequest.h"
#include "core/http/HttpTransport.h"
#include "core/settings/FixedField.h"
#include "core/base/AddressText.h"

namespace orvanta {

namespace {

const char* ReadName(ParameterGroup group) {
    switch (group) {
        case ParameterGroup::Version: return "read version";
        case ParameterGroup::Sysinfo: return "read sysinfo";
        case ParameterGroup::Network: return "read network";
        case ParameterGroup::Ddns: return "read ddns";
        case ParameterGroup::Time: return "read time";
        case ParameterGroup::Capabilities: return "read capabilities";
        case ParameterGroup::NatStatus: return "read nat status";
        default: return "read";
    }
}

const char* WriteName(ParameterGroup group) {
    switch (group) {
        case ParameterGroup::Sysinfo: return "write sysinfo";
        case ParameterGroup::Ddns: return "write ddns";
        case ParameterGroup::Time: return "write time";
        case ParameterGroup::Network: return "write network";
        case ParameterGroup::NetworkShort: return "write network (short form)";
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

CameraResult CameraService::LogIn(CameraSettings& settings, const CameraLogin& given, const Deadline& within,
                                  const StepReport& report) {
    const Deadline deadline = within.Earlier(OperationLimit());
    Steps steps(settings, report, given.any() ? 2 : 1);
    SetField(settings.User, "");
    SetField(settings.Password, "");
    if (steps.Ended("log in", ReadGroup(settings, ParameterGroup::Sysinfo, deadline))) return steps.Result();
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
    steps.Ended("log in with the given credentials", ReadGroup(settings, ParameterGroup::Sysinfo, deadline));
    return steps.Result();
}

CameraResult CameraService::LogInAs(CameraSettings& settings, const CameraLogin& given, const Deadline& within,
                                    const StepReport& report) {
    const Deadline deadline = within.Earlier(OperationLimit());
    Steps steps(settings, report, 1);
    UseLogin(given, settings);
    steps.Ended("log in with the given credentials", ReadGroup(settings, ParameterGroup::Sysinfo, deadline));
    return steps.Result();
}

CameraResult CameraService::Read(CameraSettings& settings, std::vector<AccessPointEntry>& apList,
                                 const Deadline& within, const StepReport& report) {
    const Deadline deadline = within.Earlier(OperationLimit());
    Steps steps(settings, report, 6);
    apList.clear();
    for (const ParameterGroup group : {ParameterGroup::Version, ParameterGroup::Sysinfo, ParameterGroup::Network, ParameterGroup::Ddns, ParameterGroup::Time}) {
        if (!steps.GoOn() || !steps.Ended(ReadName(group), ReadGroup(settings, group, deadline))) return steps.Result();
    }
    settings.Loaded = 1;
    if (!steps.GoOn() || !steps.Ended(ReadName(ParameterGroup::Capabilities), ReadGroup(settings, ParameterGroup::Capabilities, deadline)))
        return steps.Result();
    if (settings.HasWireless != 1) return steps.Result();
    steps.AddToTotal(1);
    if (!steps.GoOn()) return steps.Result();
    settings.APScanOK = 0;
    HttpResult scan;
    apList = RequestAccessPointScan(settings, &scan, deadline);
    if (steps.Ended("scan access points", scan) && settings.APScanOK == 0) steps.Result().outcome = CameraOutcome::NoScan;
    return steps.Result();
}

CameraResult CameraService::Save(CameraSettings& settings, SaveForm form, const Deadline& within,
                                 const StepReport& report) {
    const Deadline deadline = within.Earlier(OperationLimit());
    Steps steps(settings, report, 4);
    const auto write = [&](ParameterGroup group) {
        if (!steps.GoOn()) return false;
        const WriteAnswer a = WriteGroup(settings, group, deadline);
        return steps.Ended(WriteName(group), a.result, a.code);
    };
    if (form == SaveForm::AfterWps) {
        if (write(ParameterGroup::Sysinfo) && write(ParameterGroup::Ddns) && steps.GoOn() &&
            steps.Ended(ReadName(ParameterGroup::Time), ReadGroup(settings, ParameterGroup::Time, deadline)))
            write(ParameterGroup::NetworkShort);
        return steps.Result();
    }
    if (!write(ParameterGroup::Sysinfo) || !write(ParameterGroup::Ddns) || !write(ParameterGroup::Time) || !steps.GoOn()) return steps.Result();
    // The camera may apply the new address before it answers, or restart:
    // once the network write has gone out, the save has done its part. A
    // write that never left (no connection, cancelled, refused as too long)
    // changed nothing on the camera and is a failure; so is one that ran out
    // of time before it was sent whole.
    const WriteAnswer network = WriteGroup(settings, ParameterGroup::Network, deadline);
    if (!network.sent) {
        steps.Ended(WriteName(ParameterGroup::Network), network.result.Failed() ? network.result : HttpStatus::SendFailed);
        return steps.Result();
    }
    steps.Ended(WriteName(ParameterGroup::Network), network.result, network.code);
    CameraResult& r = steps.Result();
    r.outcome = CameraOutcome::Done;
    return r;
}

CameraResult CameraService::ScanAccessPoints(CameraSettings& settings, std::vector<AccessPointEntry>& apList,
                                             const Deadline& within, const StepReport& report) {
    const Deadline deadline = within.Earlier(OperationLimit());
    Steps steps(settings, report, 1);
    settings.APScanOK = 0;
    HttpResult scan;
    apList = RequestAccessPointScan(settings, &scan, deadline);
    if (steps.Ended("scan access points", scan) && settings.APScanOK == 0) steps.Result().outcome = CameraOutcome::NoScan;
    return steps.Result();
}

void CameraService::AimAtFound(CameraSettings& settings, const discovery::DiscoveredCamera& found) {
    SetField(settings.CamIP, FieldText(found.IpText));
    SetField(settings.CamPort, FieldText(found.PortText));
    if (!ParseIpv4(settings.CamIP, settings.CamAddr)) settings.CamAddr = 0xFFFFFFFFu;
}

CameraResult CameraService::ReadFoundAgain(CameraSettings& settings, const discovery::DiscoveredCamera& found,
                                           const Deadline& within) {
    AimAtFound(settings, found);
    const Deadline deadline = within.Earlier(OperationLimit());
    Steps steps(settings, {}, 1);
    steps.Ended(ReadName(ParameterGroup::NatStatus), ReadGroup(settings, ParameterGroup::NatStatus, deadline));
    return steps.Result();
}

}  // namespace orvanta

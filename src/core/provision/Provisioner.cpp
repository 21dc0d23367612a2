#include "core/provision/Provisioner.h"

#include <arpa/inet.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/camera/AccessPointScan.h"
#include "core/camera/NetworkCameraService.h"
#include "core/hostnet/AdapterInventory.h"
#include "core/hostnet/ReachableAddress.h"
#include "core/base/AddressText.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/settings/FixedField.h"

namespace orvanta::provision {

namespace {

using Clock = std::chrono::steady_clock;

std::string Words(HttpResult r) {
    switch (r.status) {
        case HttpStatus::ConnectFailed: return "no connection (refused, unreachable or timed out)";
        case HttpStatus::SendFailed: return "the request could not be sent";
        case HttpStatus::NoReply: return "the camera sent no reply";
        case HttpStatus::Unauthorized: return "the camera refused the user name and password";
        default: return std::string("the camera answered ") + HttpStatusName(r.status);
    }
}

// Secrets never reach a report or a terminal: their change is shown, not their value.
bool IsSecretKey(const std::string& key) {
    return key.find("password") != std::string::npos || key == "wpa_key" || key.rfind("wep_key", 0) == 0;
}
std::string Shown(const std::string& key, const std::string& value) {
    if (!IsSecretKey(key) || key == "wep_key_index" || key == "wep_key_length") return value;
    return value.empty() ? "" : "(secret)";
}

void SetEndpoint(const discovery::DiscoveredCamera& found, CameraSettings& s) {
    SetField(s.CamIP, FieldText(found.IpText));
    SetField(s.CamPort, FieldText(found.PortText));
    SetField(s.CamSerial, FieldText(found.SerialNo));
    uint32_t a = 0, m = 0;
    ParseIpv4(FieldText(found.IpText), a);
    ParseIpv4(FieldText(found.MaskText), m);
    s.CamAddr = a;
    s.CamMask = m;
}

bool Matches(const PlanRow& row, const discovery::DiscoveredCamera& rec) {
    const std::string mac(FieldText(rec.MacText));
    if (!row.mac.empty() && strcasecmp(row.mac.c_str(), mac.c_str()) != 0) return false;
    if (!row.serial.empty() && row.serial != FieldText(rec.SerialNo)) return false;
    if (!row.address.empty() && row.address != FieldText(rec.IpText)) return false;
    return true;
}

}  // namespace

const char* StatusName(RowStatus status) {
    switch (status) {
        case RowStatus::Pending: return "pending";
        case RowStatus::Done: return "done";
        case RowStatus::Unchanged: return "unchanged";
        case RowStatus::WouldChange: return "would-change";
        case RowStatus::NotFound: return "not-found";
        case RowStatus::Refused: return "refused";
        case RowStatus::Unreachable: return "unreachable";
        case RowStatus::Failed: return "failed";
        case RowStatus::VerifyMismatch: return "verify-mismatch";
    }
    return "failed";
}

bool IsSuccess(RowStatus status) {
    return status == RowStatus::Done || status == RowStatus::Unchanged || status == RowStatus::WouldChange;
}

Provisioner::Provisioner(const Plan& plan, ProvisionOptions options, hostnet::HostNetwork* net)
    : plan_(plan), options_(std::move(options)), net_(net) {}

Provisioner::~Provisioner() {
    Cancel();
    if (finder_) finder_->Stop();
    if (onvifFinder_) onvifFinder_->Stop();
    RemoveTemporaryAddresses();
}

void Provisioner::RemoveTemporaryAddresses() {
    std::lock_guard<std::mutex> lock(netMutex_);
    if (net_) hostnet::RemoveTemporaryAddresses(*net_, added_);
}

void Provisioner::Report(std::size_t index, const RowResult& result, const std::string& step) {
    if (!progress_) return;
    std::lock_guard<std::mutex> lock(progressMutex_);
    progress_(index, result, step);
}

bool Provisioner::Run(std::vector<RowResult>& results, std::string& why) {
    results.assign(plan_.rows.size(), {});
    for (std::size_t i = 0; i < results.size(); ++i) results[i].camera = plan_.rows[i].Name();
    if (net_) hostnet::FindActiveAdapter(host_, *net_);
    // Each kind's search runs only when the plan has rows of that kind.
    const auto has = [&](CameraKind kind) {
        return std::any_of(plan_.rows.begin(), plan_.rows.end(), [&](const PlanRow& r) { return r.kind == kind; });
    };
    if (has(CameraKind::Native)) {
        finder_ = std::make_unique<CameraFinder>(options_.discovery, options_.searchRoundMs);
        if (!finder_->Start(why)) return false;
    }
    if (has(CameraKind::Onvif)) {
        OnvifFinder::Search search = options_.onvifSearch;
        if (!search) {
            search = [settings = options_.onvifDiscovery](std::chrono::milliseconds round) {
                onvif::OnvifDiscoverySettings s = settings;
                s.duration = round;
                return onvif::SearchOnvifDevices(s);
            };
        }
        onvifFinder_ = std::make_unique<OnvifFinder>(std::move(search), std::chrono::milliseconds(options_.onvifRoundMs));
        onvifFinder_->Start();
    }

    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i = next++; i < results.size(); i = next++) {
            const auto start = Clock::now();
            if (plan_.rows[i].kind == CameraKind::Onvif) WorkOnvif(i, results[i]);
            else Work(i, results[i]);
            if (results[i].status == RowStatus::Pending) results[i].status = RowStatus::Failed;
            results[i].seconds = std::chrono::duration<double>(Clock::now() - start).count();
            results[i].finished = std::chrono::system_clock::now();
            Report(i, results[i], "");
        }
    };
    const int n = std::max(1, std::min<int>(options_.parallel, static_cast<int>(results.size())));
    std::vector<std::thread> workers;
    for (int i = 0; i < n; ++i) workers.emplace_back(worker);
    for (auto& w : workers) w.join();
    if (finder_) finder_->Stop();
    if (onvifFinder_) onvifFinder_->Stop();
    RemoveTemporaryAddresses();
    return true;
}

bool Provisioner::Reach(CameraSettings& s, RowResult& result) {
    if (!net_) return true;
    s.HostIfIndex = host_.HostIfIndex;
    std::lock_guard<std::mutex> lock(netMutex_);
    std::string why;
    if (hostnet::EnsureCameraSubnet(s, *net_, added_, options_.aliasTiming, &why)) return true;
    result.status = RowStatus::Unreachable;
    result.detail = why.empty() ? "the PC could not be given an address in the subnet of " + std::string(FieldText(s.CamIP))
                                : why;
    return false;
}

bool Provisioner::ReachOnvif(const std::string& address, int prefix, const std::string& card) {
    if (!net_) return true;
    std::lock_guard<std::mutex> lock(netMutex_);
    return hostnet::EnsureAddressReachable(*net_, added_, address, prefix, "80", card, options_.aliasTiming);
}

bool Provisioner::ReadyToWrite(const std::vector<std::string>& problems, RowResult& result) const {
    if (!problems.empty()) {
        result.status = RowStatus::Failed;
        result.detail = problems.front() + "; nothing was written";
        return false;
    }
    if (options_.dryRun) {
        result.status = RowStatus::WouldChange;
        return false;
    }
    if (cancelled_) {
        result.status = RowStatus::Failed;
        result.detail = "cancelled; nothing was written";
        return false;
    }
    return true;
}

bool Provisioner::Login(CameraService& camera, CameraSettings& s, const PlanRow& row, RowResult& result) {
    // Credentials given for the row or for the whole run offer both parts:
    // the one not given is the run's (the default user, say).
    CameraLogin login;
    if (row.user || row.password || options_.haveUser || options_.havePassword) {
        login.user = row.user ? *row.user : options_.user;
        login.password = row.password ? *row.password : options_.password;
    }
    // Each operation of a row is bounded by the run's overall limit on its
    // own (the camera service's), as the search and the refind are by theirs.
    const CameraResult r = camera.LogIn(s, login, Deadline::Never());
    switch (r.outcome) {
        case CameraOutcome::Done: return true;
        case CameraOutcome::LoginRequired:
            result.status = RowStatus::Refused;
            result.detail = "the camera asks for a user name and password";
            return false;
        case CameraOutcome::Refused:
            result.status = RowStatus::Refused;
            result.detail = "the camera refused the user name and password";
            return false;
        default:
            result.status = r.last.status == HttpStatus::ConnectFailed ? RowStatus::Unreachable : RowStatus::Failed;
            result.detail = "login: " + Words(r.last);
            return false;
    }
}

void Provisioner::Work(std::size_t index, RowResult& result) {
    const PlanRow& row = plan_.rows[index];
    Report(index, result, "searching");
    CameraFinder::Sighting sighting;
    const auto searchDeadline = Clock::now() + std::chrono::seconds(options_.searchSeconds);
    if (!finder_->WaitFor([&](const auto& rec) { return Matches(row, rec); }, -1, searchDeadline, cancelled_,
                          sighting)) {
        result.status = cancelled_ ? RowStatus::Failed : RowStatus::NotFound;
        result.detail = cancelled_ ? "cancelled" : "no answer to the search within " +
                                                       std::to_string(options_.searchSeconds) + " s";
        return;
    }
    const discovery::DiscoveredCamera& found = sighting.record;
    result.mac = FieldText(found.MacText);
    result.serial = FieldText(found.SerialNo);
    result.oldAddress = result.newAddress = FieldText(found.IpText);

    NetworkCameraService camera(options_.transport);
    CameraSettings s;
    SetEndpoint(found, s);
    Report(index, result, "reading");
    if (!Reach(s, result) || !Login(camera, s, row, result)) return;
    std::vector<AccessPointEntry> aps;
    if (const CameraResult read = camera.Read(s, aps, Deadline::Never()); !read.ok()) {
        result.status = read.last.status == HttpStatus::ConnectFailed ? RowStatus::Unreachable : RowStatus::Failed;
        result.detail = "read: " + (read.last.Failed() ? Words(read.last) : "the reply held no access-point scan");
        return;
    }

    CameraSettings planned;
    const std::vector<const PlanField*> changed = ApplyRow(row, s, planned);
    for (const PlanField* f : changed)
        result.changes.push_back({f->key, Shown(f->key, f->text(s)), Shown(f->key, f->text(planned))});
    if (changed.empty()) {
        result.status = RowStatus::Unchanged;
        return;
    }
    // A new address and what the camera keeps (its own mask, say) must make
    // sense together, or nothing is written. A row that leaves the
    // addressing alone is not held to it.
    std::vector<std::string> problems;
    const bool readdressed =
        std::any_of(changed.begin(), changed.end(), [](const PlanField* f) { return f->addressing; });
    if (readdressed) CheckAddressing(planned, "planned", problems);
    if (!ReadyToWrite(problems, result)) return;

    Report(index, result, "saving");
    const int roundBeforeSave = finder_->Round();
    planned.KeepConnecting = 1;
    if (const CameraResult saved = camera.Save(planned, SaveForm::Normal, Deadline::Never()); !saved.ok()) {
        result.status = saved.outcome == CameraOutcome::Refused ? RowStatus::Refused : RowStatus::Failed;
        result.detail = "save: " + Words(saved.last);
        return;
    }

    // Found again by serial, from the address it was given when that is fixed.
    Report(index, result, "finding again");
    const std::string serial(FieldText(s.CamSerial));
    const std::string expected = planned.IPType == 1 ? std::string(FieldText(planned.IPAddr)) : std::string();
    const auto refindDeadline = Clock::now() + std::chrono::seconds(options_.refindSeconds);
    CameraFinder::Sighting back;
    if (!finder_->WaitFor(
            [&](const auto& rec) {
                return FieldText(rec.SerialNo) == serial && (expected.empty() || FieldText(rec.IpText) == expected);
            },
            roundBeforeSave, refindDeadline, cancelled_, back)) {
        result.status = RowStatus::Failed;
        result.newAddress = expected;
        result.detail = cancelled_ ? "saved; cancelled while waiting for it to come back"
                                   : "saved, but it did not answer" + (expected.empty() ? "" : " from " + expected) +
                                         " within " + std::to_string(options_.refindSeconds) + " s";
        return;
    }
    result.newAddress = FieldText(back.record.IpText);

    Report(index, result, "verifying");
    CameraSettings readBack;
    SetEndpoint(back.record, readBack);
    SetField(readBack.User, FieldText(s.User));
    SetField(readBack.Password, FieldText(s.Password));
    if (!Reach(readBack, result)) {
        result.detail = "saved; " + result.detail;
        return;
    }
    if (const CameraResult read = camera.Read(readBack, aps, Deadline::Never()); !read.ok()) {
        result.status = read.outcome == CameraOutcome::Refused ? RowStatus::Refused : RowStatus::Failed;
        result.detail = "saved, but the read-back failed: " +
                        (read.last.Failed() ? Words(read.last) : "the reply held no access-point scan");
        return;
    }
    const std::vector<const PlanField*> wrong = Mismatches(row, readBack);
    if (!wrong.empty()) {
        result.status = RowStatus::VerifyMismatch;
        for (const PlanField* f : wrong) {
            CameraSettings want;
            ApplyRow(row, readBack, want);
            result.detail += (result.detail.empty() ? "" : "; ") + f->key + " reads back '" +
                             Shown(f->key, f->text(readBack)) + "', planned '" + Shown(f->key, f->text(want)) + "'";
        }
        return;
    }
    result.status = RowStatus::Done;
}

}  // namespace orvanta::provision

// The ONVIF rows of a plan: found by the shared WS-Discovery search, read,
// compared, changed through the OnvifService (which finds the camera again
// by its endpoint reference and reads it back), and checked once more here
// against the row, so a service that says Ok too early cannot make a row
// done.
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/onvif/OnvifDeviceList.h"
#include "core/onvif/ServiceAddress.h"
#include "core/provision/Provisioner.h"
#include "core/base/AddressText.h"

namespace orvanta::provision {

namespace {

using Clock = std::chrono::steady_clock;

std::string Words(const onvif::OnvifResult& r) {
    std::string words;
    switch (r.status) {
        case onvif::OnvifStatus::Ok: words = "ok"; break;
        case onvif::OnvifStatus::Unreachable: words = "no connection (refused, unreachable or timed out)"; break;
        case onvif::OnvifStatus::TimedOut: words = "no complete answer in time"; break;
        case onvif::OnvifStatus::NotAuthorized: words = "the camera refused the user name and password"; break;
        case onvif::OnvifStatus::NoOnvifUser: words = "the camera has no ONVIF user of that name"; break;
        case onvif::OnvifStatus::OnvifDisabled: words = "the camera does not answer as an ONVIF device"; break;
        case onvif::OnvifStatus::Fault: words = "the camera answered with a fault"; break;
        case onvif::OnvifStatus::BadReply: words = "the camera's answer could not be read"; break;
        case onvif::OnvifStatus::NotSupported: words = "the camera does not offer this"; break;
        case onvif::OnvifStatus::Mismatch: words = "it reads back otherwise"; break;
        case onvif::OnvifStatus::NotFound: words = "it did not answer the search afterwards"; break;
        case onvif::OnvifStatus::Refused: words = "a value that may not be sent"; break;
    }
    return r.detail.empty() ? words : words + " (" + r.detail + ")";
}

RowStatus StatusFor(onvif::OnvifStatus s) {
    switch (s) {
        case onvif::OnvifStatus::NotAuthorized:
        case onvif::OnvifStatus::NoOnvifUser: return RowStatus::Refused;
        case onvif::OnvifStatus::Unreachable:
        case onvif::OnvifStatus::TimedOut: return RowStatus::Unreachable;
        case onvif::OnvifStatus::Mismatch: return RowStatus::VerifyMismatch;
        default: return RowStatus::Failed;
    }
}

// The host of "http://host[:port]/path" ("" for anything else).
std::string UrlHost(const std::string& url) {
    onvif::ServiceUrl parsed;
    return onvif::ParseServiceUrl(url, parsed) ? parsed.host : std::string();
}

// The device service to call: the one announced, on the address that
// answered (reachable, since the answer came from there), else the
// standard one there.
onvif::ServiceUrl TargetOf(const onvif::DiscoveredOnvifDevice& d) {
    if (const auto announced = onvif::DeviceServiceOf(d)) return *announced;
    onvif::ServiceUrl bare;
    bare.host = d.replyFrom ? FormatIpv4HostOrder(d.replyFrom) : std::string();
    return bare;
}

bool AnswersOn(const onvif::DiscoveredOnvifDevice& d, const std::string& address) {
    if (d.replyFrom && FormatIpv4HostOrder(d.replyFrom) == address) return true;
    return std::any_of(d.xaddrs.begin(), d.xaddrs.end(), [&](const std::string& x) { return UrlHost(x) == address; });
}

bool SameMac(const std::string& a, const std::string& b) {
    return !a.empty() && a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

bool Provisioner::FindOnvif(const PlanRow& row, onvif::OnvifService& service,
                            const onvif::OnvifCredentials& credentials, onvif::DiscoveredOnvifDevice& device,
                            RowResult& result) {
    const auto deadline = Clock::now() + std::chrono::seconds(options_.searchSeconds);
    bool found = false;
    if (!row.uuid.empty() || !row.address.empty()) {
        found = onvifFinder_->WaitFor(
            [&](const onvif::DiscoveredOnvifDevice& d) {
                return (row.uuid.empty() || onvif::SameEndpoint(d.endpoint, row.uuid)) &&
                       (row.address.empty() || AnswersOn(d, row.address));
            },
            deadline, cancelled_, device);
    } else {
        // Discovery does not tell a MAC: each device heard is read once (by
        // whichever row gets to it first) until one has the row's MAC.
        while (!found && !cancelled_ && Clock::now() < deadline) {
            for (const auto& d : onvifFinder_->Seen()) {
                std::string mac;
                {
                    std::lock_guard<std::mutex> lock(macsMutex_);
                    if (const auto it = onvifMacs_.find(d.endpoint); it != onvifMacs_.end()) mac = it->second;
                }
                if (mac.empty()) {
                    onvif::OnvifDeviceState state;
                    const onvif::ServiceUrl target = TargetOf(d);
                    if (!ReachOnvif(target.host, 0, d.interfaceName) ||
                        !service.Read(onvif::FormatServiceUrl(target), credentials, state).ok())
                        continue;
                    std::lock_guard<std::mutex> lock(macsMutex_);
                    onvifMacs_[d.endpoint] = mac = state.mac;
                }
                if (SameMac(mac, row.mac)) {
                    device = d;
                    found = true;
                    break;
                }
            }
            if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    if (found) return true;
    result.status = cancelled_ ? RowStatus::Failed : RowStatus::NotFound;
    result.detail = cancelled_ ? "cancelled"
                               : "no answer to the ONVIF search within " + std::to_string(options_.searchSeconds) + " s";
    return false;
}

void Provisioner::WorkOnvif(std::size_t index, RowResult& result) {
    const PlanRow& row = plan_.rows[index];
    onvif::DiscoveredOnvifDevice device;
    // The camera's new address goes through the card it was heard on.
    const ProvisionOptions::OnvifReach reach = [this, &device](const std::string& address, int prefix) {
        return ReachOnvif(address, prefix, device.interfaceName);
    };
    std::unique_ptr<onvif::OnvifService> service = options_.onvifService ? options_.onvifService(reach) : nullptr;
    if (!service) {
        result.status = RowStatus::Failed;
        result.detail = "this build cannot set up ONVIF cameras";
        return;
    }
    const onvif::OnvifCredentials credentials{row.user ? *row.user : options_.user,
                                              row.password ? *row.password : options_.password};
    Report(index, result, "searching");
    if (!FindOnvif(row, *service, credentials, device, result)) return;
    result.oldAddress = result.newAddress = device.replyFrom ? FormatIpv4HostOrder(device.replyFrom) : "";
    const onvif::ServiceUrl url = TargetOf(device);
    const std::string target = onvif::FormatServiceUrl(url);
    service->KnowEndpoint(target, device.endpoint);
    // A camera in another subnet (link-local ones included) is reached as
    // our own are: through a temporary address beside it.
    if (!reach(url.host, 0)) {
        result.status = RowStatus::Unreachable;
        result.detail = "the PC could not be given an address in the subnet of " + url.host;
        return;
    }

    Report(index, result, "reading");
    onvif::OnvifDeviceState state;
    if (const onvif::OnvifResult r = service->Read(target, credentials, state); !r.ok()) {
        result.status = StatusFor(r.status);
        result.detail = "read: " + Words(r);
        return;
    }
    result.mac = state.mac;
    result.serial = state.serial;
    if (!row.mac.empty() && !SameMac(row.mac, state.mac)) {
        result.status = RowStatus::Failed;
        result.detail = "the camera found has MAC " + state.mac + ", not " + row.mac + "; nothing was written";
        return;
    }
    std::vector<OnvifFieldChange> changes;
    const onvif::OnvifChange change = OnvifChangeFor(row.onvif, state, changes);
    for (const OnvifFieldChange& c : changes) result.changes.push_back({c.key, c.before, c.after});
    if (change.empty()) {
        result.status = RowStatus::Unchanged;
        return;
    }
    // What the row leaves is the camera's own: the planned address with the
    // camera's prefix and gateway must still make sense together.
    std::vector<std::string> problems;
    if (change.ipv4 && !change.ipv4->dhcp) {
        OnvifPlan effective;
        effective.ipAddress = change.ipv4->address;
        effective.prefix = change.ipv4->prefix;
        effective.gateway = change.gateway.value_or(state.gateway);
        CheckOnvifAddressing(effective, "planned", problems);
    }
    if (!ReadyToWrite(problems, result)) return;

    Report(index, result, "saving");
    onvif::OnvifDeviceState after;
    const onvif::OnvifResult applied = service->Apply(target, credentials, change, after);
    if (!after.ipv4.address.empty()) result.newAddress = after.ipv4.address;
    if (!applied.ok()) {
        result.status = StatusFor(applied.status);
        result.detail = "save: " + Words(applied);
        return;
    }
    Report(index, result, "verifying");
    const std::vector<OnvifFieldChange> wrong = OnvifMismatches(row.onvif, after);
    if (!wrong.empty()) {
        result.status = RowStatus::VerifyMismatch;
        for (const OnvifFieldChange& f : wrong)
            result.detail += (result.detail.empty() ? "" : "; ") + f.key + " reads back '" + f.before +
                             "', planned '" + f.after + "'";
        return;
    }
    result.status = RowStatus::Done;
}

}  // namespace orvanta::provision

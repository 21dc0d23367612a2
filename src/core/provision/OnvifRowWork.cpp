// The ONVIF rows of a plan: found by the shared WS-Discovery search, read,
// compared, changed through the OnvifService (which finds the camera again
// by its endpoint reference and reads it back), and checked once more here
// against the row, so a service that says Ok too early cannot make a row
// done.
#include <chrono>
#include <set>
#include <thread>

#include "core/onvif/search/OnvifDeviceList.h"
#include "core/onvif/search/UnicastProbe.h"
#include "core/onvif/soap/ServiceAddress.h"
#include "core/provision/FirmwarePlan.h"
#include "core/provision/Provisioner.h"
#include "core/base/AddressText.h"
#include "core/base/MacAddress.h"

namespace orvanta::provision {

namespace {

using Clock = std::chrono::steady_clock;

// How long an address a plan names is given to tell where its device
// service is (a unicast probe, raced against port 80).
constexpr std::chrono::milliseconds kAddressProbeLimit{1000};

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

}  // namespace

hostnet::LinkLayerAnswer Provisioner::OnvifLinkAddress(const std::string& address, const std::string& card,
                                                       const std::string& port) {
    if (options_.onvifLinkLookup) return options_.onvifLinkLookup(address, card, port);
    if (!net_) return {hostnet::LinkLayerStatus::NoAnswer, {}, "this run has no host network to look with"};
    std::lock_guard<std::mutex> lock(netMutex_);
    return hostnet::LinkLayerAddressOf(*net_, address, card, port);
}

bool Provisioner::FindOnvifByMac(const PlanRow& row, Clock::time_point deadline, onvif::DiscoveredOnvifDevice& device,
                                 onvif::ServiceUrl& url, RowResult& result) {
    const std::optional<MacAddress> wanted = MacAddress::Parse(row.mac);
    std::set<std::string> routed;
    while (wanted && !cancelled_ && Clock::now() < deadline) {
        // Discovery does not tell a MAC, and what a device says of its own
        // is only its word: the link layer tells which address the row's
        // card is at, and only that address is ever sent credentials.
        for (const auto& d : onvifFinder_->Seen()) {
            for (const std::string& address : onvif::ClaimantAddresses(d)) {
                hostnet::LinkLayerAnswer link;
                bool known = false;
                {
                    std::lock_guard<std::mutex> lock(macsMutex_);
                    if (const auto it = onvifLinks_.find(address); it != onvifLinks_.end()) {
                        link = it->second;
                        known = true;
                    }
                }
                const onvif::ServiceUrl announced = *onvif::ServiceAnnouncedFrom(d, address);
                if (!known) {
                    link = OnvifLinkAddress(address, d.interfaceName, announced.port);
                    // Nothing answering may be a device still starting: asked again next round.
                    if (link.status != hostnet::LinkLayerStatus::NoAnswer) {
                        std::lock_guard<std::mutex> lock(macsMutex_);
                        onvifLinks_[address] = link;
                    }
                }
                if (link.status == hostnet::LinkLayerStatus::Routed) routed.insert(address);
                if (link.status == hostnet::LinkLayerStatus::Found && link.mac == *wanted) {
                    device = d;
                    url = announced;
                    return true;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    result.status = cancelled_ ? RowStatus::Failed : RowStatus::NotFound;
    if (cancelled_) {
        result.detail = "cancelled";
    } else if (!routed.empty()) {
        std::vector<std::string> list(routed.begin(), routed.end());
        result.detail = "no ONVIF device on the PC's links has MAC " + row.mac + "; " + std::to_string(list.size()) +
                        " answered from beyond a router (" + onvif::AddressListText(list) +
                        "), where no MAC can be seen: give this row an address or a uuid instead";
    } else {
        result.detail = "no ONVIF device on the PC's links with MAC " + row.mac + " answered the search within " +
                        std::to_string(options_.searchSeconds) + " s";
    }
    return false;
}

bool Provisioner::FindOnvif(const PlanRow& row, onvif::DiscoveredOnvifDevice& device, onvif::ServiceUrl& url,
                            RowResult& result) {
    const auto deadline = Clock::now() + std::chrono::seconds(options_.searchSeconds);
    if (row.uuid.empty() && row.address.empty()) return FindOnvifByMac(row, deadline, device, url, result);
    const auto fail = [&](RowStatus status, const std::string& why) {
        result.status = cancelled_ ? RowStatus::Failed : status;
        result.detail = cancelled_ ? "cancelled" : why;
        return false;
    };
    const bool found = onvifFinder_->WaitFor(
        [&](const onvif::DiscoveredOnvifDevice& d) {
            // An answer counts for the address it came from, whatever
            // host its XAddrs name.
            return (row.uuid.empty() || onvif::SameEndpoint(d.endpoint, row.uuid)) &&
                   (row.address.empty() || onvif::ServiceAnnouncedFrom(d, row.address));
        },
        deadline, cancelled_, device);
    if (!row.address.empty()) {
        if (found) {
            url = *onvif::ServiceAnnouncedFrom(device, row.address);
        } else {
            if (cancelled_) return fail(RowStatus::Failed, "");
            // The plan named the address: the camera is asked there, search
            // answer or not (a camera behind a router never hears the
            // multicast search). A probe sent straight to it tells the port
            // of its device service; the standard one when nothing tells.
            device = {};
            device.endpoint = row.uuid;
            if (ParseIpv4HostOrder(row.address, device.replyFrom)) device.heardFrom = {device.replyFrom};
            url = onvif::ServiceUrl{};
            url.host = row.address;
            // (A run without the host network sends nothing of its own.)
            if (net_) {
                if (const std::optional<onvif::ProbedService> probed =
                        onvif::LocateDeviceService(row.address, kAddressProbeLimit, onvif::OnvifCallSettings{})) {
                    url = probed->url;
                    if (device.endpoint.empty()) device.endpoint = probed->endpoint;
                }
            }
        }
    } else {
        if (!found)
            return fail(RowStatus::NotFound,
                        "no answer to the ONVIF search within " + std::to_string(options_.searchSeconds) + " s");
        const onvif::LinkLookup link = [this](const std::string& address, const std::string& card,
                                              const std::string& port) { return OnvifLinkAddress(address, card, port); };
        if (const onvif::OnvifResult r = onvif::SoleClaimant(device, url, link); !r.ok())
            return fail(RowStatus::Failed, r.detail + "; nothing was sent");
    }
    if (!row.mac.empty()) {
        // The row's MAC is checked before any login where the link layer
        // shows one; the camera's own report is checked after the read.
        const hostnet::LinkLayerAnswer link = OnvifLinkAddress(url.host, device.interfaceName, url.port);
        if (link.status == hostnet::LinkLayerStatus::Found && !SameMac(link.mac.Text(), row.mac))
            return fail(RowStatus::Failed, url.host + " has the hardware address " + link.mac.Text() + ", not " +
                                               MacText(row.mac) + "; nothing was sent");
    } else if (row.address.empty()) {
        // Found by its reference alone: a temporary address only for an
        // address the link layer shows on one of the PC's links.
        const hostnet::LinkLayerAnswer link = OnvifLinkAddress(url.host, device.interfaceName, url.port);
        if (link.status == hostnet::LinkLayerStatus::Routed)
            return fail(RowStatus::Unreachable, row.uuid + " answered from " + url.host + ": " + link.detail +
                                                    "; give this row the camera's address");
    }
    return true;
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
    onvif::ServiceUrl url;
    if (!FindOnvif(row, device, url, result)) return;
    result.oldAddress = result.newAddress = url.host;
    onvif::OnvifDevice camera = onvif::DeviceAt(url, device.endpoint);
    camera.card = device.interfaceName;
    // A camera in another subnet (link-local ones included) is reached as
    // our own are: through a temporary address beside it.
    if (!reach(url.host, 0)) {
        result.status = RowStatus::Unreachable;
        result.detail = "the PC could not be given an address in the subnet of " + url.host;
        return;
    }

    Report(index, result, "reading");
    onvif::OnvifDeviceState state;
    if (const onvif::OnvifResult r = service->Read(camera, credentials, state); !r.ok()) {
        result.status = StatusFor(r.status);
        result.detail = "read: " + Words(r);
        return;
    }
    result.mac = MacText(state.mac);
    result.serial = state.serial;
    if (!row.mac.empty() && !SameMac(row.mac, state.mac)) {
        result.status = RowStatus::Failed;
        result.detail = "the camera found has MAC " + MacText(state.mac) + ", not " + row.mac + "; nothing was written";
        return;
    }
    if (!row.uuid.empty() && !state.endpoint.empty() && !onvif::SameEndpoint(row.uuid, state.endpoint)) {
        result.status = RowStatus::Failed;
        result.detail = "the camera at " + url.host + " is " + state.endpoint + ", not " + row.uuid + "; nothing was written";
        return;
    }
    // The image first: what follows is compared with the camera it leaves.
    camera.mac = state.mac;
    if (cancelled_ && row.onvif.firmwareFile) {
        result.status = RowStatus::Failed;
        result.detail = "cancelled; nothing was written";
        return;
    }
    const FirmwareStep firmware =
        RunFirmwareStep(*service, camera, credentials, row.onvif, options_.dryRun, state, result,
                        [&](const std::string& step) { Report(index, result, step); });
    if (firmware == FirmwareStep::Failed) return;
    std::vector<OnvifFieldChange> changes;
    const onvif::OnvifChange change = OnvifChangeFor(row.onvif, state, changes);
    for (const OnvifFieldChange& c : changes) result.changes.push_back({c.key, c.before, c.after});
    if (change.empty()) {
        result.status = firmware == FirmwareStep::Upgraded       ? RowStatus::Done
                        : firmware == FirmwareStep::WouldUpgrade ? RowStatus::WouldChange
                                                                 : RowStatus::Unchanged;
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
    camera.mac = state.mac;
    const onvif::OnvifResult applied = service->Apply(camera, credentials, change, after);
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

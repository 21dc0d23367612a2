// Setting up the cameras of a plan: find each, reach it (with a temporary
// address when it sits in another subnet), read it, work out the change,
// save it with the normal save sequence, find it again by serial at its new
// address, read it back and compare every planned field. ONVIF rows take
// the same steps through an OnvifService (found by WS-Discovery, changed by
// Apply, which finds the camera again by its endpoint reference), with the
// same statuses in the same report. Used by `orvanta-cli provision` and by
// the window's plan dialog alike.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/http/TransportSettings.h"
#include "core/hostnet/AddedAddresses.h"
#include "core/hostnet/HostNetwork.h"
#include "core/hostnet/TemporaryAddress.h"
#include "core/onvif/search/ClaimCheck.h"
#include "core/onvif/search/OnvifDiscovery.h"
#include "core/onvif/OnvifService.h"
#include "core/provision/CameraFinder.h"
#include "core/provision/OnvifFinder.h"
#include "core/provision/PlanFile.h"

namespace orvanta {
class CameraService;
}

namespace orvanta::provision {

enum class RowStatus {
    Pending,
    Done,            // saved, found again and read back as planned
    Unchanged,       // already as planned: nothing written
    WouldChange,     // dry run: found and read, changes listed
    NotFound,        // no answer to the search within the limit
    Refused,         // the camera refused the credentials
    Unreachable,     // found, but could not be reached (no temporary address, no connection)
    Failed,          // a read or write failed, or it did not come back after the save
    VerifyMismatch,  // came back, but some planned field reads back otherwise
};

// "done", "unchanged", "would-change", "not-found", ...
const char* StatusName(RowStatus status);

struct FieldChange {
    std::string key;
    std::string before;
    std::string after;
};

struct RowResult {
    std::string camera;  // the row's MAC, serial or address
    std::string mac;
    std::string serial;
    RowStatus status = RowStatus::Pending;
    std::string oldAddress;
    std::string newAddress;
    double seconds = 0;
    std::vector<FieldChange> changes;
    std::string detail;  // why, for anything but done/unchanged
    // When its work ended, by the wall clock: a handover report says when
    // each camera was set up.
    std::chrono::system_clock::time_point finished{};
};

struct ProvisionOptions {
    // Cameras worked on at once. Four by default: the cameras' small web
    // servers serve one connection at a time and restart their network on
    // the save, a temporary address takes seconds to settle and is added one
    // at a time, and most of a camera's time is spent waiting for it to come
    // back. Four overlap those waits without a burst of ARP and restarts
    // that a busy site's switch and the cameras themselves take badly.
    int parallel = 4;
    bool dryRun = false;
    int searchSeconds = 20;   // for every planned camera to answer
    int refindSeconds = 60;   // for a saved camera to answer from its new address
    int searchRoundMs = 1000;  // one broadcast a second, as the search page does
    // For rows without their own; `haveUser`/`havePassword` false: none.
    bool haveUser = false, havePassword = false;
    std::string user, password;
    discovery::DiscoverySettings discovery;
    hostnet::AliasTiming aliasTiming;
    TransportSettings transport;
    // ONVIF rows: a fresh service for each row (nullptr: this build has
    // none, and ONVIF rows fail saying so), given the way to reach an
    // address outside the PC's subnets (the run's temporary addresses, on
    // the card the camera was heard on; `prefix` 0 when unknown), which it
    // uses for the camera's new address. Tests give a fake.
    using OnvifReach = std::function<bool(const std::string& address, int prefix)>;
    std::function<std::unique_ptr<onvif::OnvifService>(const OnvifReach& reach)> onvifService;
    // One ONVIF search round; empty: WS-Discovery with `onvifDiscovery`.
    OnvifFinder::Search onvifSearch;
    // The hardware address behind an address an ONVIF answer came from: a
    // row by MAC is matched at the link layer, never by what a device says
    // of itself. Empty: the run's host network (the kernel's neighbour
    // table, ARP through the helper); without one, none can be seen.
    onvif::LinkLookup onvifLinkLookup;
    onvif::OnvifDiscoverySettings onvifDiscovery;
    int onvifRoundMs = 2000;
};

class Provisioner {
public:
    // `net` may be null: then only cameras in the PC's own subnets are reached.
    Provisioner(const Plan& plan, ProvisionOptions options, hostnet::HostNetwork* net);
    ~Provisioner();

    // Told when a row's status or step changes (from the worker threads).
    using Progress = std::function<void(std::size_t row, const RowResult& result, const std::string& step)>;
    void SetProgress(Progress progress) { progress_ = std::move(progress); }

    // Runs the whole plan; returns one result per row, in plan order. False
    // (with `why`) only when nothing could start (the search cannot run).
    bool Run(std::vector<RowResult>& results, std::string& why);

    // Any thread, also a signal watcher: the workers stop at their next step
    // and their rows end as failed ("cancelled").
    void Cancel() { cancelled_ = true; }

    // Every temporary address this run added, removed. Run does it on its
    // way out; callable again (it is then a no-op).
    void RemoveTemporaryAddresses();

private:
    void Work(std::size_t index, RowResult& result);
    void WorkOnvif(std::size_t index, RowResult& result);
    // The row's camera and the device service to call it at; credentials
    // go nowhere while it is sought.
    bool FindOnvif(const PlanRow& row, onvif::DiscoveredOnvifDevice& device, onvif::ServiceUrl& url,
                   RowResult& result);
    bool FindOnvifByMac(const PlanRow& row, std::chrono::steady_clock::time_point deadline,
                        onvif::DiscoveredOnvifDevice& device, onvif::ServiceUrl& url, RowResult& result);
    hostnet::LinkLayerAnswer OnvifLinkAddress(const std::string& address, const std::string& card,
                                              const std::string& port);
    bool Reach(CameraSettings& s, RowResult& result);
    bool ReachOnvif(const std::string& address, int prefix, const std::string& card);
    bool Login(CameraService& camera, CameraSettings& s, const PlanRow& row, RowResult& result);
    // The last gate before a row's camera is written, the same for both
    // kinds: false (with the row's status set) for a planned change that
    // does not make sense, a dry run, or a cancelled run.
    bool ReadyToWrite(const std::vector<std::string>& problems, RowResult& result) const;
    void Report(std::size_t index, const RowResult& result, const std::string& step);

    const Plan& plan_;
    ProvisionOptions options_;
    hostnet::HostNetwork* net_;
    hostnet::AddedAddresses added_;
    CameraSettings host_;  // which adapter to add addresses to
    std::mutex netMutex_;  // one address change at a time; also guards added_
    std::mutex progressMutex_;
    std::atomic<bool> cancelled_{false};
    std::unique_ptr<CameraFinder> finder_;
    std::unique_ptr<OnvifFinder> onvifFinder_;
    std::mutex macsMutex_;
    // Address -> what the link layer showed there, for rows that name a MAC only.
    std::map<std::string, hostnet::LinkLayerAnswer> onvifLinks_;
    Progress progress_;
};

// Whether a report row is a success for the exit code.
bool IsSuccess(RowStatus status);

}  // namespace orvanta::provision

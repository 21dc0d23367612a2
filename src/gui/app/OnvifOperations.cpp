#include "gui/app/OnvifOperations.h"

#include <optional>

#include "core/hostnet/AddressProbe.h"
#include "core/hostnet/ReachableAddress.h"
#include "core/i18n/LanguageStrings.h"
#include "core/onvif/device/CardSubnet.h"
#include "core/onvif/search/ClaimCheck.h"
#include "core/onvif/device/NetworkOnvifService.h"
#include "core/onvif/search/OnvifDeviceList.h"
#include "core/onvif/soap/ServiceAddress.h"
#include "core/base/Diagnostics.h"
#include "core/settings/FixedField.h"
#include "core/base/AddressText.h"
#include "core/base/MacAddress.h"
#include "gui/app/WaitDialog.h"
#include "gui/app/WizardWindow.h"
#include "gui/framework/OnvifResultText.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/PageIndex.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

namespace {

// How often the worker is looked at.
constexpr int kTickMs = 100;

// The card the camera was heard on; without it (it went away, or a test's
// network lists none) the wizard's own adapter.
onvif::CardSubnet PcSide(hostnet::HostNetwork* net, const CameraSettings& s, const onvif::DiscoveredOnvifDevice& d) {
    if (net != nullptr)
        if (const auto card = onvif::CardSubnetOf(net->ListAdapters(), d)) return *card;
    onvif::CardSubnet pc;
    if (s.HostNoAddress == 1) return pc;
    ParseIpv4HostOrder(FieldText(s.HostIP), pc.address);
    ParseIpv4HostOrder(FieldText(s.HostMask), pc.mask);
    ParseIpv4HostOrder(FieldText(s.HostGateway), pc.gateway);
    ParseIpv4HostOrder(FieldText(s.HostDNS), pc.dns);
    return pc;
}

}  // namespace

struct OnvifOperations::Job {
    enum class Kind { Login, Apply } kind = Kind::Login;
    onvif::OnvifDevice device;
    onvif::OnvifCredentials credentials;
    onvif::OnvifChange change;
    onvif::OnvifService* service = nullptr;
    hostnet::HostNetwork* hostNetwork = nullptr;
    onvif::CardSubnet pc;  // for the proposal
    std::function<bool()> reachCamera;
    // The search answer the camera was chosen by: before a login, its
    // reference must have come from one device only.
    std::optional<onvif::DiscoveredOnvifDevice> claim;

    onvif::OnvifDeviceState state;
    onvif::OnvifResult result;
    std::optional<uint32_t> proposal;  // host order

    void Run() {
        if (claim && hostNetwork != nullptr) {
            // Answers from two addresses are one camera only when the link
            // layer shows one card behind both; otherwise nothing is sent,
            // not even a temporary address added.
            hostnet::HostNetwork& net = *hostNetwork;
            const onvif::LinkLookup link = [&net](const std::string& address, const std::string& card,
                                                  const std::string& port) {
                return hostnet::LinkLayerAddressOf(net, address, card, port);
            };
            onvif::ServiceUrl url;
            if (onvif::OnvifResult r = onvif::SoleClaimant(*claim, url, link); !r.ok()) {
                result = r;
                return;
            }
        }
        if (reachCamera && !reachCamera())
            Diagnostic("ONVIF: no temporary address could be given to reach %s; trying it as it is",
                       device.service.host.c_str());
        if (kind == Kind::Apply) {
            result = service->Apply(device, credentials, change, state);
            return;
        }
        result = service->Read(device, credentials, state);
        if (!result.ok() || hostNetwork == nullptr) return;
        // Only now is the camera's MAC known: the walk tells its own answer
        // from another device's.
        if (const auto from = onvif::FreeAddressWalk(pc, state))
            proposal = Ipv4HostOrder(hostnet::FindFreeAddress(*hostNetwork, from->start, from->source, from->mask, from->mac));
    }
};

OnvifOperations::OnvifOperations(WizardWindow& window, onvif::OnvifService* service)
    : window_(window), worker_(window) {
    service_ = service;
    if (service_ == nullptr) {
        auto network = std::make_unique<onvif::NetworkOnvifService>();
        network->reach = [this](const std::string& address, int prefix) { return Reach(address, prefix); };
        network->sleep = [this](std::chrono::milliseconds d) { Sleep(d); };
        network->cancelled = [this] { return cancelled_.load(); };
        service_ = network.get();
        ownedService_ = std::move(network);
    }
}

// The worker goes first (its destructor joins it), while what it calls still lives.
OnvifOperations::~OnvifOperations() { Cancel(); }

void OnvifOperations::Cancel() {
    cancelled_ = true;
    const std::lock_guard lock(sleepMutex_);
    wake_.notify_all();
}

void OnvifOperations::Sleep(std::chrono::milliseconds duration) {
    std::unique_lock lock(sleepMutex_);
    wake_.wait_for(lock, duration, [this] { return cancelled_.load(); });
}

bool OnvifOperations::Reach(const std::string& address, int prefix) {
    if (window_.HostNet() == nullptr) return false;
    const std::lock_guard lock(reachMutex_);
    return hostnet::EnsureAddressReachable(*window_.HostNet(), window_.Aliases(), address, prefix, port_, card_);
}

void OnvifOperations::ReachThrough(const onvif::DiscoveredOnvifDevice& device) {
    const std::lock_guard lock(reachMutex_);
    card_ = device.interfaceName;
    // A camera routed to already is tried on the port its service is on.
    const auto url = onvif::DeviceServiceOf(device);
    port_ = url ? url->port : "80";
}

bool OnvifOperations::EnsureReachable() {
    const OnvifSetup& setup = *window_.Context().onvifSetup;
    ReachThrough(setup.device);
    // After a change the camera is where it read back.
    if (!setup.after.ipv4.address.empty()) return Reach(setup.after.ipv4.address, setup.after.ipv4.prefix);
    const std::string host = OnvifHost(setup.device);
    return !host.empty() && Reach(host, 0);
}

QString OnvifOperations::Text(const char* section, const char* key) const {
    return WizardPage::Text(window_.Language(), section, key, kMessageCapacity);
}

void OnvifOperations::Login() {
    if (Busy()) return;
    OnvifSetup& setup = *window_.Context().onvifSetup;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Login;
    job->device = onvif::DeviceFound(setup.device);
    job->credentials = setup.credentials;
    job->hostNetwork = window_.HostNet();
    if (onvif::ClaimantAddresses(setup.device).size() > 1) job->claim = setup.device;
    setup.pc = PcSide(window_.HostNet(), window_.Settings(), setup.device);
    job->pc = setup.pc;
    Start(std::move(job), Text("OnvifLoginPage", "Reading"));
}

void OnvifOperations::Apply() {
    if (Busy()) return;
    OnvifSetup& setup = *window_.Context().onvifSetup;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Apply;
    job->device = onvif::DeviceFound(setup.device);
    if (!setup.before.endpoint.empty()) job->device.endpoint = setup.before.endpoint;
    // The camera logged in to: a device that took its address since is not written to.
    job->device.mac = setup.before.mac;
    job->credentials = setup.credentials;
    job->change = setup.change;
    Start(std::move(job), Text("OnvifSummaryPage", "Applying"));
}

void OnvifOperations::Start(std::shared_ptr<Job> job, const QString& waitText) {
    const OnvifSetup& setup = *window_.Context().onvifSetup;
    ReachThrough(setup.device);
    cancelled_ = false;
    job->service = service_;
    const std::string host = OnvifHost(setup.device);
    job->reachCamera = [this, host] { return host.empty() || Reach(host, 0); };
    WaitingWorker::Work work;
    work.text = waitText;
    // The service reports no steps: the wait window shows a busy bar.
    work.run = [job](WorkerProgress&) { job->Run(); };
    work.cancel = [this] { Cancel(); };
    work.finished = [this, job] { Finish(*job); };
    work.tickMs = kTickMs;
    worker_.Start(std::move(work));
}

void OnvifOperations::Finish(Job& finished) {
    Job* job = &finished;
    OnvifSetup& setup = *window_.Context().onvifSetup;
    setup.lastResult = job->result;
    if (job->kind == Job::Kind::Login) {
        if (!job->result.ok()) {
            window_.HandleCommand(WizardCommand::ShowOnvifLoginPage);
            return;
        }
        setup.before = job->state;
        setup.proposal = job->proposal;
        setup.change = {};
        if (!job->state.mac.empty()) setup.macs[onvif::CanonicalEndpoint(setup.device.endpoint)] = MacText(job->state.mac);
        window_.HandleCommand(WizardCommand::ShowOnvifAddressPage);
        return;
    }
    if (!job->result.ok()) {
        // The summary stays: the user may go back, change and try again.
        const QString text = OnvifResultText(window_.Language(), job->result);
        window_.Prompt().Ask(&window_, Prompt{text, QStringLiteral("Orvanta"), PromptIcon::Critical, PromptButtons::Ok});
        return;
    }
    setup.after = job->state;
    if (!job->state.mac.empty()) setup.macs[onvif::CanonicalEndpoint(setup.device.endpoint)] = MacText(job->state.mac);
    window_.HandleCommand(WizardCommand::ShowOnvifFinishedPage);
}

}  // namespace orvanta

#include "gui/app/OnvifOperations.h"

#include <map>
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
#include "gui/dialogs/CameraPictureDialog.h"
#include "gui/framework/CameraPicture.h"
#include "gui/framework/OnvifResultText.h"
#include "gui/framework/OnvifSetup.h"
#include "gui/framework/PageIndex.h"
#include "gui/framework/ShownText.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

namespace {

// How often the worker is looked at.
constexpr int kTickMs = 100;

// The largest the window ever shows a camera's picture: it is decoded no
// larger (a 4K still is scaled as it is read).
constexpr QSize kPictureShown{960, 540};

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
    enum class Kind { Login, Apply, Picture, Upgrade } kind = Kind::Login;
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

    std::string firmwareFile;
    onvif::FirmwareReport firmware;
    WorkerProgress* progress = nullptr;  // the wait window's bar, while Run runs

    onvif::OnvifDeviceState state;
    onvif::OnvifResult result;
    std::optional<Ipv4Address> proposal;
    std::map<std::string, onvif::OnvifEncoderOptions> streamOptions;

    // The camera's picture, fetched and decoded here, off the window's thread.
    std::string jpeg;
    onvif::OnvifResult pictureResult;
    QImage picture;
    QString pictureNote;  // the decoder's words, when the bytes would not decode

    void TakePicture() {
        onvif::OnvifSnapshot snapshot;
        pictureResult = service->Snapshot(device, credentials, snapshot);
        if (!pictureResult.ok()) return;
        jpeg = std::move(snapshot.jpeg);
        picture = DecodeCameraPicture(jpeg, kPictureShown, pictureNote);
    }

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
        if (kind == Kind::Picture) {
            TakePicture();
            return;
        }
        if (kind == Kind::Apply) {
            result = service->Apply(device, credentials, change, state);
            return;
        }
        if (kind == Kind::Upgrade) {
            // The bar counts KiB (an int holds 256 MiB of them); once the
            // image is sent it stays full while the camera restarts.
            const auto shown = [this](const onvif::FirmwareProgress& p) {
                if (progress && p.total) progress->Step(static_cast<int>(p.sent >> 10), static_cast<int>(p.total >> 10));
            };
            result = service->UpgradeFirmware(device, credentials, {firmwareFile, ""}, shown, firmware);
            return;
        }
        result = service->Read(device, credentials, state);
        if (!result.ok()) return;
        // Which camera this is, for the installer to see on the next pages.
        TakePicture();
        // The streams page offers what each encoder offers; a profile whose
        // options cannot be read is shown as it is.
        for (const onvif::OnvifProfile& p : state.profiles) {
            if (!p.encoder) continue;
            onvif::OnvifEncoderOptions options;
            if (const onvif::OnvifResult r = service->ReadStreamOptions(device, credentials, p.token, options); r.ok())
                streamOptions[p.token] = options;
            else
                Diagnostic("ONVIF: the options of profile %s: %s", p.token.c_str(), r.detail.c_str());
        }
        if (hostNetwork == nullptr) return;
        // Only now is the camera's MAC known: the walk tells its own answer
        // from another device's.
        if (const auto from = onvif::FreeAddressWalk(pc, state))
            proposal = Ipv4Address::FromNetworkOrder(
                hostnet::FindFreeAddress(*hostNetwork, from->start, from->source, from->mask, from->mac));
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

void OnvifOperations::UpgradeFirmware() {
    if (Busy()) return;
    OnvifSetup& setup = *window_.Context().onvifSetup;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Upgrade;
    job->device = onvif::DeviceFound(setup.device);
    // After a change the camera is where it read back.
    if (!setup.after.ipv4.address.empty()) job->device.service.host = setup.after.ipv4.address;
    if (!setup.before.endpoint.empty()) job->device.endpoint = setup.before.endpoint;
    job->device.mac = setup.after.mac.empty() ? setup.before.mac : setup.after.mac;
    job->credentials = setup.credentials;
    job->firmwareFile = setup.firmwareFile;
    Start(std::move(job), Text("OnvifFinishPage", "Upgrading"));
}

void OnvifOperations::Start(std::shared_ptr<Job> job, const QString& waitText) {
    Start(std::move(job), waitText, window_.Context().onvifSetup->device);
}

void OnvifOperations::Start(std::shared_ptr<Job> job, const QString& waitText,
                            const onvif::DiscoveredOnvifDevice& device) {
    ReachThrough(device);
    cancelled_ = false;
    job->service = service_;
    // Where the job talks to: the device service, or where the camera read
    // back after a change.
    const std::string host = job->device.service.host;
    job->reachCamera = [this, host] { return host.empty() || Reach(host, 0); };
    WaitingWorker::Work work;
    work.text = waitText;
    // The service reports no steps: the wait window shows a busy bar.
    work.run = [job](WorkerProgress& progress) {
        job->progress = &progress;
        job->Run();
        job->progress = nullptr;
    };
    work.cancel = [this] { Cancel(); };
    work.finished = [this, job] { Finish(*job); };
    work.tickMs = kTickMs;
    worker_.Start(std::move(work));
}

void OnvifOperations::ShowPicture() {
    if (Busy()) return;
    const OnvifSetup& setup = *window_.Context().onvifSetup;
    const auto login = setup.logins.find(onvif::CanonicalEndpoint(setup.pictureOf.endpoint));
    if (login == setup.logins.end()) return;
    auto job = std::make_shared<Job>();
    job->kind = Job::Kind::Picture;
    job->device = onvif::DeviceFound(setup.pictureOf);
    job->credentials = login->second;
    Start(std::move(job), Text("OnvifMessages", "TakingPicture"), setup.pictureOf);
}

void OnvifOperations::Finish(Job& finished) {
    Job* job = &finished;
    OnvifSetup& setup = *window_.Context().onvifSetup;
    if (job->kind == Job::Kind::Picture) {
        // A window of its own beside the wizard, not a modal question: the
        // installer keeps it open while finding the camera on site.
        const std::string name =
            setup.pictureOf.name.empty() ? onvif::FormatServiceUrl(job->device.service) : setup.pictureOf.name;
        auto* dialog = new CameraPictureDialog(QString::fromStdString(name), &window_);
        dialog->Show(job->picture, PictureLine(window_.Language(), job->pictureResult, job->pictureNote));
        return;
    }
    setup.lastResult = job->result;
    if (job->kind == Job::Kind::Login) {
        if (!job->result.ok()) {
            window_.HandleCommand(WizardCommand::ShowOnvifLoginPage);
            return;
        }
        setup.before = job->state;
        setup.streamOptions = job->streamOptions;
        setup.proposal = job->proposal;
        setup.picture = job->picture;
        setup.pictureJpeg = std::move(job->jpeg);
        setup.pictureResult = job->pictureResult;
        setup.pictureNote = job->pictureNote;
        setup.logins[onvif::CanonicalEndpoint(setup.device.endpoint)] = job->credentials;
        setup.change = {};
        if (!job->state.mac.empty()) setup.macs[onvif::CanonicalEndpoint(setup.device.endpoint)] = MacText(job->state.mac);
        window_.HandleCommand(WizardCommand::ShowOnvifAddressPage);
        return;
    }
    if (job->kind == Job::Kind::Upgrade) {
        setup.firmware = job->firmware;
        if (!job->firmware.after.empty()) setup.after.firmware = job->firmware.after;
        const bool ok = job->result.ok();
        const QString text = ok ? Text("OnvifFinishPage", "UpgradeDone")
                                      .arg(ShownText(job->firmware.after), ShownText(job->firmware.before))
                                : Text("OnvifFinishPage", "UpgradeFailed") + QLatin1Char('\n') +
                                      OnvifResultText(window_.Language(), job->result);
        window_.Prompt().Ask(&window_, Prompt{text, QStringLiteral("Orvanta"), ok ? PromptIcon::Information : PromptIcon::Critical,
                                              PromptButtons::Ok});
        window_.HandleCommand(WizardCommand::ShowOnvifFinishedPage);
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

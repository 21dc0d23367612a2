#include "core/onvif/device/NetworkOnvifService.h"

#include <thread>
#include <vector>

#include "core/onvif/device/ChangeCheck.h"
#include "core/onvif/device/DeviceStateReader.h"
#include "core/onvif/device/PosixTimeZone.h"
#include "core/onvif/device/MediaReplies.h"
#include "core/onvif/device/MediaRequests.h"
#include "core/onvif/device/StreamAndUserSteps.h"
#include "core/onvif/device/StreamCheck.h"
#include "core/onvif/device/SnapshotReader.h"
#include "core/base/Diagnostics.h"

namespace orvanta::onvif {

namespace {

// How often a camera that is to restart is asked whether it has gone down.
constexpr std::chrono::milliseconds kDownPoll{250};

std::string NameOf(const SoapCall& call) { return call.action.substr(call.action.rfind('/') + 1); }

std::string DoneList(const std::vector<std::string>& done) {
    return done.empty() ? "nothing was changed" : "done before it: " + ListText(done);
}

}  // namespace

NetworkOnvifService::NetworkOnvifService(OnvifApplySettings settings) : settings_(settings) {
    find = [](const std::string& endpoint, std::chrono::milliseconds limit) {
        return FindOnvifEndpoint(endpoint, limit);
    };
    linkAddress = SystemLinkLookup();
    reach = [](const std::string&, int) { return true; };
    now = [] { return std::chrono::system_clock::now(); };
    sleep = [](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); };
    localTimeZone = [] { return LocalPosixTimeZone(); };
}

OnvifResult NetworkOnvifService::Read(const OnvifDevice& device, const OnvifCredentials& credentials,
                                      OnvifDeviceState& state) {
    OnvifSession session(device.service, credentials, settings_.call, now);
    CameraDateTime clock;
    state = OnvifDeviceState{};
    OnvifResult r = ReadDeviceState(session, state, clock);
    state.KnowEndpoint(device.endpoint);
    if (r.ok()) r = CheckSameDevice(device, state, "nothing was changed");
    return r;
}

OnvifResult NetworkOnvifService::ReadStreamOptions(const OnvifDevice& device, const OnvifCredentials& credentials,
                                                  const std::string& profile, OnvifEncoderOptions& options) {
    std::string why;
    OnvifSession session(device.service, credentials, settings_.call, now);
    if (OnvifResult r = session.LearnClock(); !r.ok()) return r;
    MediaEndpoint media;
    if (OnvifResult r = LocateMedia(session, media); !r.ok()) return r;
    // The profile as the camera lists it now: a token that went since the
    // caller's read is told as such, not sent.
    SoapReply reply;
    std::vector<OnvifProfile> profiles;
    if (OnvifResult r = session.Call(media.url, media.media2 ? GetProfilesWithEncoder2Call() : GetProfilesCall(), reply);
        !r.ok())
        return r;
    if (!ReadProfiles(reply.body, profiles, media.media2))
        return {OnvifStatus::BadReply, "the reply to GetProfiles is not its response"};
    const OnvifProfile* found = FindProfile(profiles, profile, why);
    if (!found) return {OnvifStatus::NotFound, why};
    options = {};
    return ReadEncoderOptionsOf(session, media, *found, options);
}

OnvifResult NetworkOnvifService::ListUsers(const OnvifDevice& device, const OnvifCredentials& credentials,
                                          std::vector<OnvifUser>& users) {
    OnvifSession session(device.service, credentials, settings_.call, now);
    if (OnvifResult r = session.LearnClock(); !r.ok()) return r;
    return ReadUserList(session, users);
}

bool NetworkOnvifService::ServesNewAddress(const ServiceUrl& url, const std::optional<OnvifIpv4>& newAddress,
                                           const OnvifCredentials& credentials) {
    OnvifCallSettings quick = settings_.call;
    quick.overallLimitMs = std::min<int>(quick.overallLimitMs, 5000);
    OnvifSession probe(url, credentials, quick, now);
    if (!probe.LearnClock().ok()) return false;
    if (!newAddress) return true;
    // A camera still answers where it was for a moment after the Set (and
    // until it goes down for the reboot it asked for), and a search hears
    // that answer as well as the one from its new place: only an interface
    // that already holds the new setting says the change took effect.
    SoapReply reply;
    std::vector<NetworkInterfaceInfo> interfaces;
    if (!probe.Call(DeviceCall("GetNetworkInterfaces"), reply).ok() || !ReadNetworkInterfaces(reply.body, interfaces))
        return false;
    const std::optional<NetworkInterfaceInfo> main = MainInterface(interfaces);
    if (main && Ipv4Text(main->ipv4) == Ipv4Text(*newAddress)) return true;
    Diagnostic("ONVIF: %s still answers with %s; waiting for %s", url.host.c_str(),
               main ? Ipv4Text(main->ipv4).c_str() : "no IPv4 interface", Ipv4Text(*newAddress).c_str());
    return false;
}

void NetworkOnvifService::WaitUntilDown(const ServiceUrl& url, const OnvifCredentials& credentials) {
    const auto end = std::chrono::steady_clock::now() + settings_.rebootGrace;
    OnvifCallSettings quick = settings_.call;
    quick.connectLimitMs = std::min(quick.connectLimitMs, 1000);
    quick.overallLimitMs = std::min(quick.overallLimitMs, 1000);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left <= std::chrono::milliseconds(0) || (cancelled && cancelled())) return;
        // Any answer, a refusal included, is a camera still up; silence is
        // one that has gone down for its restart.
        OnvifSession probe(url, credentials, quick, now);
        const OnvifStatus status = probe.LearnClock().status;
        if (status == OnvifStatus::Unreachable || status == OnvifStatus::TimedOut) return;
        sleep(std::min(left, kDownPoll));
    }
}

OnvifResult NetworkOnvifService::VerifiedClaimants(const std::string& endpoint, const MacAddress& mac,
                                                   std::chrono::milliseconds limit, std::vector<ServiceUrl>& verified) {
    verified.clear();
    const auto found = find ? find(endpoint, limit) : std::nullopt;
    if (!found) return {};
    const std::vector<std::string> from = ClaimantAddresses(*found);
    std::vector<std::string> strangers;
    for (const std::string& address : from) {
        const std::optional<ServiceUrl> url = ServiceAnnouncedFrom(*found, address);
        const hostnet::LinkLayerAnswer link =
            linkAddress ? linkAddress(address, found->interfaceName, url ? url->port : "80") : hostnet::LinkLayerAnswer{};
        if (link.status == hostnet::LinkLayerStatus::Found && link.mac == mac) {
            verified.push_back(*url);
            continue;
        }
        strangers.push_back(address);
        Diagnostic("ONVIF: %s answers for %s, but %s; not the camera", address.c_str(), endpoint.c_str(),
                   link.status == hostnet::LinkLayerStatus::Found ? ("its hardware address is " + link.mac.Text() +
                                                                     ", the camera's " + mac.Text())
                                                                        .c_str()
                                                                  : link.detail.c_str());
    }
    // The camera itself may answer from its old and its new address for a
    // moment (one card, one hardware address); anything else answering
    // with its reference is a device claiming to be it.
    if (from.size() > 1 && !strangers.empty()) {
        verified.clear();
        return {OnvifStatus::Fault, endpoint + " answered from " + AddressListText(from) + " (" +
                                        AddressListText(strangers) +
                                        " not with the camera's hardware address): another device claims to be "
                                        "this camera, so it is not used"};
    }
    return {};
}

OnvifResult NetworkOnvifService::FindAgain(const std::string& endpoint, const std::string& mac, const ServiceUrl& old,
                                           const std::optional<OnvifIpv4>& newAddress, std::chrono::milliseconds limit,
                                           const OnvifCredentials& credentials, ServiceUrl& found) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const auto timeLeft = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    };
    const auto over = [&] {
        // The caller's overall deadline ends the wait as well.
        return timeLeft() <= std::chrono::milliseconds(0) || settings_.call.within.Passed() || (cancelled && cancelled());
    };
    const OnvifResult notFound{OnvifStatus::NotFound, "the camera did not show up again within " +
                                                          std::to_string(limit.count() / 1000) +
                                                          " s after its address changed"};
    if (newAddress && !newAddress->dhcp) {
        // The address the user gave is the camera's from now on: it is
        // asked there and nowhere else, whatever a search may hear.
        ServiceUrl direct = old;
        direct.host = newAddress->address;
        if (fixedAddressUrl) direct = fixedAddressUrl(direct);
        if (!reach(newAddress->address, newAddress->prefix))
            Diagnostic("ONVIF: the PC cannot be given an address beside %s", newAddress->address.c_str());
        while (!over()) {
            if (ServesNewAddress(direct, newAddress, credentials)) {
                found = direct;
                return {};
            }
            if (timeLeft() > std::chrono::milliseconds(0)) sleep(std::min(timeLeft(), settings_.retryInterval));
        }
        return notFound;
    }
    const std::optional<MacAddress> camera = MacAddress::Parse(mac);
    if (endpoint.empty() || !camera)
        return {OnvifStatus::NotFound, "the camera cannot be found again: it told no endpoint reference and MAC to "
                                       "know it by"};
    while (!over()) {
        std::vector<ServiceUrl> verified;
        if (OnvifResult r = VerifiedClaimants(endpoint, *camera, std::min(timeLeft(), settings_.retryInterval * 2),
                                              verified);
            !r.ok())
            return r;
        for (const ServiceUrl& url : verified) {
            // Proven at the link layer: now it may be given a temporary address.
            reach(url.host, 0);
            if (ServesNewAddress(url, newAddress, credentials)) {
                found = url;
                return {};
            }
        }
        if (timeLeft() > std::chrono::milliseconds(0)) sleep(std::min(timeLeft(), settings_.retryInterval));
    }
    return notFound;
}

OnvifResult NetworkOnvifService::Apply(const OnvifDevice& device, const OnvifCredentials& credentials,
                                       const OnvifChange& change, OnvifDeviceState& after) {
    std::string why;
    if (!CheckChange(change, why)) return {OnvifStatus::Refused, why + "; nothing was sent"};
    const ServiceUrl& url = device.service;
    const std::string pcTz = localTimeZone ? localTimeZone() : std::string("UTC0");
    OnvifCredentials login = credentials;
    auto session = std::make_unique<OnvifSession>(url, login, settings_.call, now);
    OnvifDeviceState before;
    CameraDateTime clock;
    MediaEndpoint media;
    if (OnvifResult r = ReadBeforeChange(*session, device, before, clock, &media, "nothing was changed"); !r.ok())
        return r;
    // An address is set on the interface the camera named; one that would
    // not tell its interfaces cannot be moved.
    if (change.ipv4 && before.interfaceToken.empty())
        return {OnvifStatus::NotSupported,
                "the camera does not tell its network interfaces, so its address cannot be changed; nothing was changed"};
    // A camera that takes its address by DHCP can only be found again by
    // its reference and told from a device that merely claims it by its
    // hardware address: without both, or where no hardware address can be
    // seen (a camera beyond a router), the move is not started.
    if (change.ipv4 && change.ipv4->dhcp && !before.ipv4.dhcp) {
        const std::optional<MacAddress> mac = MacAddress::Parse(before.mac);
        const hostnet::LinkLayerAnswer link =
            linkAddress ? linkAddress(url.host, device.card, url.port) : hostnet::LinkLayerAnswer{};
        std::string why;
        if (before.endpoint.empty() || !mac)
            why = "the camera tells no endpoint reference and MAC to find it by after it takes an address by DHCP";
        else if (link.status != hostnet::LinkLayerStatus::Found)
            why = "the camera's hardware address cannot be seen from this PC (" + link.detail +
                  "), so it could not be told from another device after it takes an address by DHCP";
        else if (link.mac != *mac)
            why = url.host + " has the hardware address " + link.mac.Text() + ", but the camera reports " + mac->Text();
        if (!why.empty()) return {OnvifStatus::Refused, why + "; give it a fixed address instead; nothing was changed"};
    }

    // Streams and users are checked against what the camera offers and
    // holds before anything at all is sent.
    StreamAndUserPlan extras;
    if (OnvifResult r = PrepareStreamAndUsers(*session, before, media, change, login.user, extras); !r.ok()) {
        r.detail += "; nothing was changed";
        return r;
    }

    std::vector<std::string> done;
    const auto step = [&](const SoapCall& call, SoapReply& reply) -> OnvifResult {
        OnvifResult r = session->Call(call, reply);
        if (!r.ok()) r.detail = NameOf(call) + " failed: " + r.detail + "; " + DoneList(done);
        else done.push_back(NameOf(call));
        return r;
    };
    const auto simple = [&](const SoapCall& call) {
        SoapReply reply;
        return step(call, reply);
    };

    const bool moves = change.ipv4 && Ipv4Text(*change.ipv4) != Ipv4Text(before.ipv4);
    if (change.hostname && *change.hostname != before.hostname)
        if (OnvifResult r = simple(SetHostnameCall(*change.hostname)); !r.ok()) return r;
    if (change.dns && *change.dns != before.dns)
        if (OnvifResult r = simple(SetDnsCall(*change.dns)); !r.ok()) return r;
    if (change.ntp && *change.ntp != before.ntp)
        if (OnvifResult r = simple(SetNtpCall(*change.ntp)); !r.ok()) return r;
    const std::optional<std::string> tz =
        change.tz ? change.tz : change.syncTime ? std::optional<std::string>(pcTz) : std::nullopt;
    if (change.syncTime || (tz && *tz != before.time.tz)) {
        DateTimeSetting setting;
        setting.daylightSavings = clock.daylightSavings;
        setting.tz = tz;
        if (change.syncTime) {
            setting.ntp = false;
            setting.utc = now();
        } else {
            // Only the zone changes: a manual clock is given its own time back.
            setting.ntp = clock.ntp;
            if (!clock.ntp) setting.utc = session->CameraNow();
        }
        if (OnvifResult r = simple(SetSystemDateAndTimeCall(setting)); !r.ok()) return r;
        // The camera's clock moved: what follows is signed on its new time.
        if (setting.utc)
            if (OnvifResult r = session->LearnClock(); !r.ok()) return r;
        clock.ntp = setting.ntp;
    }
    // Servers given to a camera that keeps its clock by hand are only
    // used once it keeps time by NTP (a clock set just above first took
    // the PC's time, so it starts right).
    if (change.ntp && !change.ntp->empty() && !clock.ntp) {
        DateTimeSetting setting;
        setting.daylightSavings = clock.daylightSavings;
        setting.ntp = true;
        setting.tz = tz;
        if (OnvifResult r = simple(SetSystemDateAndTimeCall(setting)); !r.ok()) return r;
    }
    // A gateway outside the old subnet may be refused before the address
    // moves: it follows the move then.
    if (change.gateway && *change.gateway != before.gateway && !moves)
        if (OnvifResult r = simple(SetNetworkDefaultGatewayCall(*change.gateway)); !r.ok()) return r;
    if (change.newPassword) {
        SoapReply reply;
        if (OnvifResult r = step(DeviceCall("GetUsers"), reply); !r.ok()) return r;
        done.pop_back();
        std::vector<OnvifUser> users;
        ReadUsers(reply.body, users);
        std::string level;
        for (const OnvifUser& u : users)
            if (u.name == login.user) level = u.level;
        if (level.empty())
            return {OnvifStatus::NoOnvifUser, "the camera lists no ONVIF user '" + login.user + "'; " + DoneList(done)};
        if (OnvifResult r = simple(SetUserCall(login.user, *change.newPassword, level)); !r.ok()) return r;
        login.password = *change.newPassword;
        session->SetPassword(login.password);
    }
    // Before a move: the session reaches the camera where it was read.
    if (OnvifResult r = SendStreamAndUsers(*session, extras, login, done); !r.ok()) {
        r.detail += "; " + DoneList(done);
        return r;
    }
    if (moves) {
        SoapReply reply;
        bool rebootNeeded = false;
        OnvifResult set = step(SetNetworkInterfacesCall(before.interfaceToken, *change.ipv4), reply);
        if (set.ok()) {
            ReadRebootNeeded(reply.body, rebootNeeded);
        } else if (set.status == OnvifStatus::Unreachable || set.status == OnvifStatus::TimedOut) {
            // Some cameras move before they answer: the change may have been
            // taken, and only finding the camera tells.
            Diagnostic("ONVIF: no answer to SetNetworkInterfaces; looking for the camera at its new address");
            done.push_back("SetNetworkInterfaces (unconfirmed)");
        } else {
            return set;
        }
        if (rebootNeeded) {
            Diagnostic("ONVIF: the camera needs a restart for its new address");
            SoapReply rebootReply;
            if (OnvifResult r = step(DeviceCall("SystemReboot"), rebootReply); !r.ok()) return r;
            // Until it has gone down it still answers as before.
            WaitUntilDown(session->Device(), login);
        }
        const auto limit = rebootNeeded ? settings_.rebootLimit : settings_.refindLimit;
        ServiceUrl found;
        if (OnvifResult r = FindAgain(before.endpoint, before.mac, session->Device(), change.ipv4, limit, login, found);
            !r.ok()) {
            r.detail += "; " + DoneList(done);
            return r;
        }
        session = std::make_unique<OnvifSession>(found, login, settings_.call, now);
        if (OnvifResult r = session->LearnClock(); !r.ok()) {
            r.detail = "found again, but: " + r.detail;
            return r;
        }
        if (change.gateway && *change.gateway != before.gateway)
            if (OnvifResult r = simple(SetNetworkDefaultGatewayCall(*change.gateway)); !r.ok()) return r;
    }

    after = OnvifDeviceState{};
    CameraDateTime afterClock;
    if (OnvifResult r = ReadDeviceState(*session, after, afterClock); !r.ok()) {
        r.detail = "read back failed: " + r.detail + "; " + DoneList(done);
        return r;
    }
    after.KnowEndpoint(before.endpoint);
    std::vector<std::string> unmet = UnmetFields(change, after, pcTz, settings_.clockToleranceSeconds);
    for (const std::string& u : UnmetStreamAndUsers(*session, change, extras, after)) unmet.push_back(u);
    if (!unmet.empty()) {
        std::string detail = "read back differs in: " + ListText(unmet) + " (" + DoneList(done) + ")";
        if (after.Partial()) detail += "; the camera would not tell: " + ListText(after.missing);
        return {OnvifStatus::Mismatch, detail};
    }
    return {};
}

}  // namespace orvanta::onvif

namespace orvanta::onvif {

std::unique_ptr<OnvifService> MakeNetworkOnvifService(const OnvifApplySettings& settings,
                                                      NetworkOnvifService::Reach reach) {
    auto service = std::make_unique<NetworkOnvifService>(settings);
    service->reach = std::move(reach);
    return service;
}

}  // namespace orvanta::onvif

namespace orvanta::onvif {

OnvifResult NetworkOnvifService::Snapshot(const OnvifDevice& device, const OnvifCredentials& credentials,
                                          OnvifSnapshot& picture) {
    OnvifSession session(device.service, credentials, settings_.call, now);
    return ReadSnapshot(session, credentials, settings_.call, picture);
}

}  // namespace orvanta::onvif

#include "core/onvif/device/DeviceStateReader.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <ctime>
#include <deque>
#include <functional>
#include <future>
#include <optional>
#include <string_view>

#include "core/base/Diagnostics.h"
#include "core/base/MacAddress.h"
#include "core/onvif/device/CallPool.h"
#include "core/onvif/device/MediaReplies.h"
#include "core/onvif/device/MediaRequests.h"

namespace orvanta::onvif {

namespace {

// Failures that say nothing about one call but about the whole camera: it
// is gone, or time is up. A refusal is not among them: once the camera
// took the login for GetDeviceInformation, a refused optional call is the
// camera's policy for that call (many refuse GetEndpointReference or the
// network settings to all but one user level), not a wrong password.
bool EndsTheRead(OnvifStatus s) { return s == OnvifStatus::Unreachable || s == OnvifStatus::TimedOut; }

enum class Got { Read, Missing, Fatal };

// One call's outcome, kept until the read looks at it: calls go out side
// by side, but what they mean is judged in one fixed order, so a read
// names the same fields missing, and ends on the same failure, however
// the replies happened to arrive.
struct Asked {
    ServiceUrl url;
    SoapCall call;
    OnvifResult result;
    SoapReply reply;
};

void Ask(OnvifSession& session, Asked& a) { a.result = session.Call(a.url, a.call, a.reply); }

// One optional call, its reply read into place by `read`. A refusal, a
// fault, a call not offered or a reply that is not its response leaves the
// field to the caller to name as missing; only the end of the camera or of
// the time is kept in `fatal`.
template <typename ReadFn>
Got Judge(const OnvifSession& session, const Asked& a, OnvifResult& fatal, ReadFn read) {
    const std::string name = a.call.action.substr(a.call.action.rfind('/') + 1);
    if (!a.result.ok()) {
        // A media service on a port that does not answer loses its streams,
        // not the camera its device service just answered for.
        const bool elsewhere = FormatServiceUrl(a.url) != FormatServiceUrl(session.Device());
        if (EndsTheRead(a.result.status) && !(elsewhere && a.result.status == OnvifStatus::Unreachable)) {
            fatal = a.result;
            return Got::Fatal;
        }
        Diagnostic("ONVIF %s: %s", name.c_str(), a.result.detail.c_str());
        return Got::Missing;
    }
    if (!read(a.reply.body)) {
        Diagnostic("ONVIF %s: the reply is not its response", name.c_str());
        return Got::Missing;
    }
    return Got::Read;
}

// One optional call asked and judged at once, for a caller that has
// nothing to send beside it.
template <typename ReadFn>
Got Optional(OnvifSession& session, const ServiceUrl& url, const SoapCall& call, OnvifResult& fatal, ReadFn read) {
    Asked a{url, call, {}, {}};
    Ask(session, a);
    return Judge(session, a, fatal, read);
}

void Miss(OnvifDeviceState& state, const char* field) {
    if (std::find(state.missing.begin(), state.missing.end(), field) == state.missing.end())
        state.missing.push_back(field);
}

// The media service to ask for stream addresses: Media2 where the device
// lists it (recorders that list only it answer no Media call), Media
// otherwise; from GetServices, else GetCapabilities (Media only).
struct MediaService {
    std::string address;
    bool media2 = false;
};

Got FindMediaService(OnvifSession& session, const ServiceUrl& device, OnvifResult& fatal, MediaService& out) {
    MediaServices listed;
    const Got services = Optional(session, device, GetServicesCall(), fatal,
                                  [&](const pugi::xml_node& b) { return ReadMediaServices(b, listed); });
    if (services == Got::Fatal) return services;
    if (!listed.media2.empty()) {
        out = {listed.media2, true};
        return Got::Read;
    }
    if (!listed.media.empty()) {
        out = {listed.media, false};
        return Got::Read;
    }
    std::string media;
    const Got capabilities = Optional(session, device, GetCapabilitiesCall(), fatal, [&](const pugi::xml_node& b) {
        return ReadMediaAddressFromCapabilities(b, media);
    });
    if (capabilities == Got::Read) out = {media, false};
    // Both read and neither names a media service: a device without one
    // (a door station, an I/O box) has no stream to miss.
    if (capabilities == Got::Missing && services == Got::Read) {
        Diagnostic("ONVIF: the device lists no media service");
        return Got::Read;
    }
    return capabilities;
}

// The chain from "where is the media service" to every profile with its
// video encoder and stream address:
// each step needs the one before, so it runs as a chain of calls on the
// pool, each step queued ahead of the rest when the one before is read.
// The outcome (Read, Missing or Fatal, in `fatal`) is final once the pool
// is idle.
class StreamChain {
public:
    StreamChain(OnvifSession& session, CallPool& pool, std::vector<OnvifProfile>& profiles)
        : session_(session), pool_(pool), profiles_(profiles) {}

    // The media service the profiles were read from, once Finish said Read.
    const std::optional<MediaEndpoint>& Media() const { return endpoint_; }

    // `anonymous`: GetServices as the device answered it without a login
    // (nullptr or not read: asked again, signed).
    void Start(const Asked* anonymous) {
        services_.url = session_.Device();
        services_.call = GetServicesCall();
        if (anonymous && anonymous->result.ok() && ReadMediaServices(anonymous->reply.body, listed_)) {
            servicesGot_ = Got::Read;
            FromServices();
            return;
        }
        pool_.Submit([this] {
            if (!MaySign()) return Done(Got::Missing);
            Ask(session_, services_);
            servicesGot_ = Judge(session_, services_, fatal_,
                                 [&](const pugi::xml_node& b) { return ReadMediaServices(b, listed_); });
            if (servicesGot_ == Got::Fatal) return Done(Got::Fatal);
            FromServices();
        }, true);
    }

    // Once the pool is idle: Fatal (with `fatal`) when the camera or the
    // time ended on the way; Missing when a step, or any profile's stream
    // address, could not be read.
    Got Finish(OnvifResult& fatal) {
        if (got_ == Got::Fatal) fatal = fatal_;
        if (got_ != Got::Read) return got_;
        Got all = Got::Read;
        for (std::size_t i = 0; i < streams_.size(); ++i) {
            const Got got = Judge(session_, streams_[i], fatal, [&](const pugi::xml_node& b) {
                return ReadStreamUri(b, profiles_[i].streamUri, media_.media2);
            });
            if (got == Got::Fatal) return got;
            if (got == Got::Missing) all = Got::Missing;
        }
        return all;
    }

    // Whether GetDeviceInformation took the login. Until it is known the
    // chain sends one signed call at most: a wrong password would be
    // refused once more for each (and cameras lock an account out after a
    // few refusals). Set exactly once, before the pool is waited for.
    void LoginProven(bool proven) { proven_.set_value(proven); }

private:
    void Done(Got got) { got_ = got; }

    // True when the next signed call may go: the first at once, every later
    // one once the login is proven.
    bool MaySign() {
        if (!signedOnce_.exchange(true)) return true;
        return login_.get();
    }

    void FromServices() {
        if (!listed_.media2.empty()) return Profiles({listed_.media2, true});
        if (!listed_.media.empty()) return Profiles({listed_.media, false});
        pool_.Submit([this] {
            if (!MaySign()) return Done(Got::Missing);
            capabilities_.url = session_.Device();
            capabilities_.call = GetCapabilitiesCall();
            Ask(session_, capabilities_);
            std::string media;
            const Got got = Judge(session_, capabilities_, fatal_, [&](const pugi::xml_node& b) {
                return ReadMediaAddressFromCapabilities(b, media);
            });
            if (got == Got::Read) return Profiles({media, false});
            // Both read and neither names a media service: a device without
            // one (a door station, an I/O box) has no stream to miss.
            if (got == Got::Missing && servicesGot_ == Got::Read) {
                Diagnostic("ONVIF: the device lists no media service");
                return Done(Got::Read);
            }
            Done(got);
        }, true);
    }

    void Profiles(MediaService media) {
        media_ = std::move(media);
        if (media_.address.empty()) return Done(Got::Read);
        ServiceUrl url;
        if (!ParseServiceUrl(media_.address, url)) {
            Diagnostic("ONVIF: the media service address cannot be used");
            return Done(Got::Missing);
        }
        listing_.url = ReachableServiceUrl(url, session_.Device());
        endpoint_ = MediaEndpoint{listing_.url, media_.media2};
        listing_.call = media_.media2 ? GetProfilesWithEncoder2Call() : GetProfilesCall();
        pool_.Submit([this] {
            if (!MaySign()) return Done(Got::Missing);
            Ask(session_, listing_);
            const Got got = Judge(session_, listing_, fatal_, [&](const pugi::xml_node& b) {
                return ReadProfiles(b, profiles_, media_.media2);
            });
            if (got != Got::Read) return Done(got);
            // Every profile's address at once; the slots are made before any
            // call starts, so no call's slot moves under it.
            streams_.resize(profiles_.size());
            for (std::size_t i = 0; i < profiles_.size(); ++i) {
                const std::string& token = profiles_[i].token;
                streams_[i].url = listing_.url;
                streams_[i].call = media_.media2 ? GetStreamUri2Call(token) : GetStreamUriCall(token);
            }
            Done(Got::Read);
            for (Asked& a : streams_)
                pool_.Submit([this, &a] {
                    if (!MaySign()) a.result = {OnvifStatus::NotAuthorized, "not asked: the login was refused"};
                    else Ask(session_, a);
                }, true);
        }, true);
    }

    OnvifSession& session_;
    CallPool& pool_;
    std::vector<OnvifProfile>& profiles_;
    std::optional<MediaEndpoint> endpoint_;
    Asked services_, capabilities_, listing_;
    std::deque<Asked> streams_;
    std::promise<bool> proven_;
    std::shared_future<bool> login_ = proven_.get_future().share();
    std::atomic<bool> signedOnce_{false};
    MediaServices listed_;
    MediaService media_;
    Got servicesGot_ = Got::Missing;
    Got got_ = Got::Missing;
    OnvifResult fatal_;
};

}  // namespace

OnvifResult LocateMedia(OnvifSession& session, MediaEndpoint& endpoint) {
    OnvifResult fatal;
    MediaService media;
    const Got got = FindMediaService(session, session.Device(), fatal, media);
    if (got == Got::Fatal) return fatal;
    if (got == Got::Missing || media.address.empty() || !ParseServiceUrl(media.address, endpoint.url))
        return {OnvifStatus::NotSupported, "the camera tells no media service"};
    endpoint.url = ReachableServiceUrl(endpoint.url, session.Device());
    endpoint.media2 = media.media2;
    return {};
}

OnvifResult ReadBeforeChange(OnvifSession& session, const OnvifDevice& device, OnvifDeviceState& before,
                             CameraDateTime& clock, MediaEndpoint* media, const char* nothingDone) {
    if (OnvifResult r = ReadDeviceState(session, before, clock, media); !r.ok()) {
        r.detail += std::string("; ") + nothingDone;
        return r;
    }
    before.KnowEndpoint(device.endpoint);
    return CheckSameDevice(device, before, nothingDone);
}

OnvifResult CheckSameDevice(const OnvifDevice& device, const OnvifDeviceState& read, const char* nothingDone) {
    if (device.mac.empty() || read.mac.empty() || SameMac(device.mac, read.mac)) return {};
    return {OnvifStatus::Refused, device.service.host + " is now a device with MAC " + MacText(read.mac) +
                                      ", not the camera's " + MacText(device.mac) + "; " + nothingDone};
}

std::string UtcText(std::chrono::system_clock::time_point at) {
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm u{};
    gmtime_r(&t, &u);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &u);
    return text;
}

OnvifResult ReadDeviceState(OnvifSession& session, OnvifDeviceState& state, CameraDateTime& clock,
                            MediaEndpoint* mediaUsed) {
    state.missing.clear();
    const ServiceUrl device = session.Device();
    CallPool pool;
    // What the standard lets anyone ask (where the services are, the
    // device's reference and host name) goes out without a login beside the
    // clock: nothing secret is sent before the clock is known, and the media
    // chain starts a step ahead. A camera that wants a login for them is
    // asked again, signed, once the login is proven.
    Asked services{device, GetServicesCall(), {}, {}};
    Asked endpointOpen{device, DeviceCall("GetEndpointReference"), {}, {}};
    Asked hostnameOpen{device, DeviceCall("GetHostname"), {}, {}};
    for (Asked* a : {&services, &endpointOpen, &hostnameOpen})
        pool.Submit([&session, a] { a->result = session.CallAnonymous(a->url, a->call, a->reply); });
    const OnvifResult clocked = session.LearnClock(&clock);
    pool.Wait();
    if (!clocked.ok()) return clocked;
    const bool endpointKnown =
        endpointOpen.result.ok() && ReadEndpointReference(endpointOpen.reply.body, state.endpoint);
    const bool hostnameKnown = hostnameOpen.result.ok() && ReadHostname(hostnameOpen.reply.body, state.hostname);

    // The login: GetDeviceInformation proves it, the stream chain goes on
    // beside it (two signed calls at most before a wrong password is known;
    // cameras lock an account out after a few).
    StreamChain streams(session, pool, state.profiles);
    streams.Start(&services);
    Asked information{device, DeviceCall("GetDeviceInformation"), {}, {}};
    Ask(session, information);
    // The one mandatory call: its answer is what proves the login, so its
    // refusal is the login's.
    const auto refused = [&](OnvifResult r) {
        streams.LoginProven(false);
        pool.Wait();
        return r;
    };
    if (!information.result.ok()) return refused(information.result);
    if (!ReadDeviceInformation(information.reply.body, state))
        return refused({OnvifStatus::BadReply, "the reply to GetDeviceInformation is not its response"});

    streams.LoginProven(true);
    // Everything else, side by side, a few at a time.
    Asked endpoint{device, DeviceCall("GetEndpointReference"), {}, {}};
    Asked nics{device, DeviceCall("GetNetworkInterfaces"), {}, {}};
    const struct {
        const char* call;
        const char* field;
        std::function<bool(const pugi::xml_node&)> read;
    } settings[] = {
        {"GetNetworkDefaultGateway", "gateway", [&](const pugi::xml_node& b) { return ReadDefaultGateway(b, state.gateway); }},
        {"GetDNS", "dns", [&](const pugi::xml_node& b) { return ReadDns(b, state.dns); }},
        {"GetNTP", "ntp", [&](const pugi::xml_node& b) { return ReadNtp(b, state.ntp); }},
        {"GetHostname", "hostname", [&](const pugi::xml_node& b) { return ReadHostname(b, state.hostname); }},
    };
    std::deque<Asked> settingCalls;
    for (const auto& s : settings) settingCalls.push_back(Asked{device, DeviceCall(s.call), {}, {}});
    if (!endpointKnown) pool.Submit([&] { Ask(session, endpoint); });
    pool.Submit([&] { Ask(session, nics); });
    for (std::size_t i = 0; i < settingCalls.size(); ++i)
        if (settingCalls[i].call.action.find("GetHostname") == std::string::npos || !hostnameKnown)
            pool.Submit([&session, &a = settingCalls[i]] { Ask(session, a); });
    pool.Wait();

    // Judged in one order, whatever order the replies came in.
    OnvifResult fatal;
    if (!endpointKnown) {
        switch (Judge(session, endpoint, fatal,
                      [&](const pugi::xml_node& b) { return ReadEndpointReference(b, state.endpoint); })) {
            case Got::Fatal: return fatal;
            case Got::Missing: Miss(state, "uuid"); break;
            case Got::Read: break;
        }
    }
    std::vector<NetworkInterfaceInfo> interfaces;
    const Got nicsGot =
        Judge(session, nics, fatal, [&](const pugi::xml_node& b) { return ReadNetworkInterfaces(b, interfaces); });
    if (nicsGot == Got::Fatal) return fatal;
    if (const std::optional<NetworkInterfaceInfo> main = MainInterface(interfaces)) {
        state.interfaceToken = main->token;
        state.mac = main->mac;
        state.ipv4 = main->ipv4;
    } else {
        if (nicsGot == Got::Read) Diagnostic("ONVIF: the camera reports no enabled interface with IPv4");
        Miss(state, "mac");
        Miss(state, "ipv4");
    }
    for (std::size_t i = 0; i < settingCalls.size(); ++i) {
        if (std::string_view(settings[i].field) == "hostname" && hostnameKnown) continue;
        const Got got = Judge(session, settingCalls[i], fatal, settings[i].read);
        if (got == Got::Fatal) return fatal;
        if (got == Got::Missing) Miss(state, settings[i].field);
    }
    const Got streamsGot = streams.Finish(fatal);
    if (streamsGot == Got::Fatal) return fatal;
    if (streamsGot == Got::Missing) Miss(state, "stream_uris");
    if (mediaUsed && streams.Media()) *mediaUsed = *streams.Media();
    for (const OnvifProfile& p : state.profiles)
        if (!p.streamUri.empty()) state.streamUris.push_back(p.streamUri);
    state.time.tz = clock.tz;
    state.time.ntp = clock.ntp;
    state.time.utc = UtcText(session.CameraNow());
    state.time.offsetSeconds =
        static_cast<int64_t>(std::llround(static_cast<double>(session.ClockOffset().count()) / 1000.0));
    return {};
}

}  // namespace orvanta::onvif

#include "core/onvif/device/DeviceStateReader.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <functional>

#include "core/base/Diagnostics.h"
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

// One optional call, its reply read into place by `read`. A refusal, a
// fault, a call not offered or a reply that is not its response leaves the
// field to the caller to name as missing; only the end of the camera or of
// the time is kept in `fatal`.
template <typename ReadFn>
Got Optional(OnvifSession& session, const ServiceUrl& url, const SoapCall& call, OnvifResult& fatal, ReadFn read) {
    SoapReply reply;
    const OnvifResult r = session.Call(url, call, reply);
    const std::string name = call.action.substr(call.action.rfind('/') + 1);
    if (!r.ok()) {
        // A media service on a port that does not answer loses its streams,
        // not the camera its device service just answered for.
        const bool elsewhere = FormatServiceUrl(url) != FormatServiceUrl(session.Device());
        if (EndsTheRead(r.status) && !(elsewhere && r.status == OnvifStatus::Unreachable)) {
            fatal = r;
            return Got::Fatal;
        }
        Diagnostic("ONVIF %s: %s", name.c_str(), r.detail.c_str());
        return Got::Missing;
    }
    if (!read(reply.body)) {
        Diagnostic("ONVIF %s: the reply is not its response", name.c_str());
        return Got::Missing;
    }
    return Got::Read;
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

// Every media profile with its video encoder and RTSP address, through
// the service found above.
Got ReadProfilesAndUris(OnvifSession& session, const MediaEndpoint& media, OnvifResult& fatal,
                        std::vector<OnvifProfile>& profiles) {
    const bool v2 = media.media2;
    const Got listed = Optional(session, media.url, v2 ? GetProfilesWithEncoder2Call() : GetProfilesCall(), fatal,
                                [&](const pugi::xml_node& b) { return ReadProfiles(b, profiles, v2); });
    if (listed != Got::Read) return listed;
    Got all = Got::Read;
    for (OnvifProfile& profile : profiles) {
        const Got got = Optional(session, media.url, v2 ? GetStreamUri2Call(profile.token) : GetStreamUriCall(profile.token),
                                 fatal, [&](const pugi::xml_node& b) { return ReadStreamUri(b, profile.streamUri, v2); });
        if (got == Got::Fatal) return got;
        if (got == Got::Missing) all = Got::Missing;
    }
    return all;
}

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
    if (OnvifResult r = session.LearnClock(&clock); !r.ok()) return r;
    const ServiceUrl device = session.Device();
    // The one mandatory call: its answer is what proves the login, so its
    // refusal is the login's.
    {
        SoapReply reply;
        const OnvifResult r = session.Call(DeviceCall("GetDeviceInformation"), reply);
        if (!r.ok()) return r;
        if (!ReadDeviceInformation(reply.body, state))
            return {OnvifStatus::BadReply, "the reply to GetDeviceInformation is not its response"};
    }
    OnvifResult fatal;
    switch (Optional(session, device, DeviceCall("GetEndpointReference"), fatal,
                     [&](const pugi::xml_node& b) { return ReadEndpointReference(b, state.endpoint); })) {
        case Got::Fatal: return fatal;
        case Got::Missing: Miss(state, "uuid"); break;
        case Got::Read: break;
    }
    std::vector<NetworkInterfaceInfo> interfaces;
    const Got nics = Optional(session, device, DeviceCall("GetNetworkInterfaces"), fatal,
                              [&](const pugi::xml_node& b) { return ReadNetworkInterfaces(b, interfaces); });
    if (nics == Got::Fatal) return fatal;
    if (const std::optional<NetworkInterfaceInfo> main = MainInterface(interfaces)) {
        state.interfaceToken = main->token;
        state.mac = main->mac;
        state.ipv4 = main->ipv4;
    } else {
        if (nics == Got::Read) Diagnostic("ONVIF: the camera reports no enabled interface with IPv4");
        Miss(state, "mac");
        Miss(state, "ipv4");
    }
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
    for (const auto& s : settings) {
        const Got got = Optional(session, device, DeviceCall(s.call), fatal, s.read);
        if (got == Got::Fatal) return fatal;
        if (got == Got::Missing) Miss(state, s.field);
    }
    state.time.tz = clock.tz;
    state.time.ntp = clock.ntp;
    state.time.utc = UtcText(session.CameraNow());
    state.time.offsetSeconds =
        static_cast<int64_t>(std::llround(static_cast<double>(session.ClockOffset().count()) / 1000.0));

    MediaService media;
    Got streams = FindMediaService(session, device, fatal, media);
    if (streams == Got::Read && !media.address.empty()) {
        MediaEndpoint endpoint;
        endpoint.media2 = media.media2;
        if (!ParseServiceUrl(media.address, endpoint.url)) {
            Diagnostic("ONVIF: the media service address cannot be used");
            streams = Got::Missing;
        } else {
            endpoint.url = ReachableServiceUrl(endpoint.url, device);
            if (mediaUsed) *mediaUsed = endpoint;
            streams = ReadProfilesAndUris(session, endpoint, fatal, state.profiles);
            for (const OnvifProfile& p : state.profiles)
                if (!p.streamUri.empty()) state.streamUris.push_back(p.streamUri);
        }
    }
    if (streams == Got::Fatal) return fatal;
    if (streams == Got::Missing) {
        Miss(state, "stream_uris");
    }
    return {};
}

}  // namespace orvanta::onvif

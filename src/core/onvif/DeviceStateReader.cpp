#include "core/onvif/DeviceStateReader.h"

#include <cmath>
#include <ctime>
#include <functional>

#include "core/output/Diagnostics.h"

namespace orvanta::onvif {

namespace {

// Failures that say nothing about one call but about the whole camera.
bool EndsTheRead(OnvifStatus s) {
    return s == OnvifStatus::Unreachable || s == OnvifStatus::TimedOut || s == OnvifStatus::NotAuthorized ||
           s == OnvifStatus::NoOnvifUser || s == OnvifStatus::OnvifDisabled;
}

// One optional call: true when its reply was read into place.
template <typename ReadFn>
bool Optional(OnvifSession& session, const ServiceUrl& url, const SoapCall& call, OnvifResult& fatal, ReadFn read) {
    SoapReply reply;
    const OnvifResult r = session.Call(url, call, reply);
    const std::string name = call.action.substr(call.action.rfind('/') + 1);
    if (!r.ok()) {
        if (EndsTheRead(r.status)) fatal = r;
        else Diagnostic("ONVIF %s: %s", name.c_str(), r.detail.c_str());
        return false;
    }
    if (!read(reply.body)) {
        Diagnostic("ONVIF %s: the reply is not its response", name.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::string UtcText(std::chrono::system_clock::time_point at) {
    const std::time_t t = std::chrono::system_clock::to_time_t(at);
    std::tm u{};
    gmtime_r(&t, &u);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &u);
    return text;
}

OnvifResult ReadDeviceState(OnvifSession& session, OnvifDeviceState& state, CameraDateTime& clock) {
    if (OnvifResult r = session.LearnClock(&clock); !r.ok()) return r;
    const ServiceUrl device = session.Device();
    {
        SoapReply reply;
        const OnvifResult r = session.Call(DeviceCall("GetDeviceInformation"), reply);
        if (!r.ok()) return r;
        if (!ReadDeviceInformation(reply.body, state))
            return {OnvifStatus::BadReply, "the reply to GetDeviceInformation is not its response"};
    }
    OnvifResult fatal;
    std::vector<NetworkInterfaceInfo> interfaces;
    Optional(session, device, DeviceCall("GetEndpointReference"), fatal,
             [&](const pugi::xml_node& b) { return ReadEndpointReference(b, state.endpoint); });
    if (!fatal.ok()) return fatal;
    if (!Optional(session, device, DeviceCall("GetNetworkInterfaces"), fatal,
                  [&](const pugi::xml_node& b) { return ReadNetworkInterfaces(b, interfaces); }))
        return fatal.ok() ? OnvifResult{OnvifStatus::BadReply, "the camera's network interfaces could not be read"}
                          : fatal;
    const std::optional<NetworkInterfaceInfo> main = MainInterface(interfaces);
    if (!main) return {OnvifStatus::BadReply, "the camera reports no enabled interface with IPv4"};
    state.interfaceToken = main->token;
    state.mac = main->mac;
    state.ipv4 = main->ipv4;
    const std::pair<const char*, std::function<bool(const pugi::xml_node&)>> settings[] = {
        {"GetNetworkDefaultGateway", [&](const pugi::xml_node& b) { return ReadDefaultGateway(b, state.gateway); }},
        {"GetDNS", [&](const pugi::xml_node& b) { return ReadDns(b, state.dns); }},
        {"GetNTP", [&](const pugi::xml_node& b) { return ReadNtp(b, state.ntp); }},
        {"GetHostname", [&](const pugi::xml_node& b) { return ReadHostname(b, state.hostname); }},
    };
    for (const auto& [name, read] : settings) {
        Optional(session, device, DeviceCall(name), fatal, read);
        if (!fatal.ok()) return fatal;
    }
    state.time.tz = clock.tz;
    state.time.ntp = clock.ntp;
    state.time.utc = UtcText(session.CameraNow());
    state.time.offsetSeconds =
        static_cast<int64_t>(std::llround(static_cast<double>(session.ClockOffset().count()) / 1000.0));

    // The media service: its address from GetServices (newer cameras), else
    // GetCapabilities, on the host we reached.
    std::string mediaText;
    if (!Optional(session, device, GetServicesCall(), fatal,
                  [&](const pugi::xml_node& b) { return ReadMediaAddressFromServices(b, mediaText); }) &&
        fatal.ok())
        Optional(session, device, GetCapabilitiesCall(), fatal,
                 [&](const pugi::xml_node& b) { return ReadMediaAddressFromCapabilities(b, mediaText); });
    if (!fatal.ok()) return fatal;
    ServiceUrl media;
    if (mediaText.empty() || !ParseServiceUrl(mediaText, media)) {
        if (!mediaText.empty()) Diagnostic("ONVIF: the media service address cannot be used");
        return {};
    }
    media = ReachableServiceUrl(media, device);
    std::vector<std::string> profiles;
    Optional(session, media, GetProfilesCall(), fatal,
             [&](const pugi::xml_node& b) { return ReadProfileTokens(b, profiles); });
    if (!fatal.ok()) return fatal;
    for (const std::string& token : profiles) {
        std::string uri;
        if (Optional(session, media, GetStreamUriCall(token), fatal,
                     [&](const pugi::xml_node& b) { return ReadStreamUri(b, uri); }))
            state.streamUris.push_back(uri);
        if (!fatal.ok()) return fatal;
    }
    return {};
}

}  // namespace orvanta::onvif

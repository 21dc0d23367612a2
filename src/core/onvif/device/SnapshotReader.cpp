#include "core/onvif/device/SnapshotReader.h"

#include "core/base/Diagnostics.h"
#include "core/onvif/device/SnapshotCalls.h"
#include "core/onvif/device/SnapshotFetch.h"

namespace orvanta::onvif {

namespace {

bool EndsTheCall(OnvifStatus s) {
    return s == OnvifStatus::Unreachable || s == OnvifStatus::TimedOut || s == OnvifStatus::NotAuthorized ||
           s == OnvifStatus::NoOnvifUser || s == OnvifStatus::OnvifDisabled;
}

// A refusal of an optional call is the camera saying it does not offer
// it, as long as the camera as a whole answers.
OnvifResult NotOffered(const std::string& what, const OnvifResult& r) {
    if (EndsTheCall(r.status)) return r;
    return {OnvifStatus::NotSupported, what + " (" + r.detail + ")"};
}

struct Media {
    ServiceUrl url;
    bool v2 = false;
};

OnvifResult FindMedia(OnvifSession& session, Media& out) {
    SoapReply reply;
    MediaServices listed;
    OnvifResult r = session.Call(GetServicesCall(), reply);
    if (!r.ok() && EndsTheCall(r.status) && r.status != OnvifStatus::NotAuthorized) return r;
    std::string address;
    if (r.ok() && ReadMediaServices(reply.body, listed)) {
        out.v2 = !listed.media2.empty();
        address = out.v2 ? listed.media2 : listed.media;
    }
    if (address.empty()) {
        // Older cameras answer only GetCapabilities (Media only).
        SoapReply caps;
        r = session.Call(GetCapabilitiesCall(), caps);
        if (!r.ok()) return NotOffered("the camera names no media service", r);
        if (!ReadMediaAddressFromCapabilities(caps.body, address) || address.empty())
            return {OnvifStatus::NotSupported, "the camera names no media service, so it has no picture to give"};
        out.v2 = false;
    }
    ServiceUrl url;
    if (!ParseServiceUrl(address, url))
        return {OnvifStatus::NotSupported, "the camera's media service address cannot be used"};
    out.url = ReachableServiceUrl(url, session.Device());
    return {};
}

}  // namespace

OnvifResult ReadSnapshot(OnvifSession& session, const OnvifCredentials& login, const OnvifCallSettings& settings,
                         OnvifSnapshot& out) {
    out = OnvifSnapshot{};
    if (OnvifResult r = session.LearnClock(); !r.ok()) return r;
    Media media;
    if (OnvifResult r = FindMedia(session, media); !r.ok()) return r;
    SoapReply reply;
    std::vector<std::string> profiles;
    if (OnvifResult r = session.Call(media.url, media.v2 ? GetProfiles2Call() : GetProfilesCall(), reply); !r.ok())
        return NotOffered("the camera lists no media profiles", r);
    if (!ReadProfileTokens(reply.body, profiles, media.v2))
        return {OnvifStatus::BadReply, "the reply to GetProfiles is not its response"};
    if (profiles.empty()) return {OnvifStatus::NotSupported, "the camera has no media profile to take a picture of"};
    SoapReply uriReply;
    if (OnvifResult r = session.Call(media.url, GetSnapshotUriCall(profiles.front(), media.v2), uriReply); !r.ok())
        return NotOffered("the camera gives no snapshot address", r);
    if (!ReadSnapshotUri(uriReply.body, out.uri, media.v2))
        return {OnvifStatus::NotSupported, "the camera gives no snapshot address"};
    ServiceUrl source;
    std::string why;
    if (!SnapshotSource(out.uri, session.Device(), source, why)) return {OnvifStatus::NotSupported, why};
    return FetchSnapshot(settings, source, login, out);
}

}  // namespace orvanta::onvif

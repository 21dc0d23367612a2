#include "core/onvif/device/StreamAndUserSteps.h"

#include "core/onvif/device/MediaReplies.h"
#include "core/onvif/device/MediaRequests.h"
#include "core/onvif/device/StreamCheck.h"

namespace orvanta::onvif {

namespace {

std::string NameOf(const SoapCall& call) { return call.action.substr(call.action.rfind('/') + 1); }

}  // namespace

OnvifResult ReadEncoderOptionsOf(OnvifSession& session, const MediaEndpoint& media, const OnvifProfile& profile,
                                 OnvifEncoderOptions& options) {
    if (!profile.encoder)
        return {OnvifStatus::NotSupported, "profile " + profile.token + " has no video encoder"};
    SoapReply reply;
    if (OnvifResult r = session.Call(media.url, GetVideoEncoderOptionsCall(profile.encoder->token, profile.token, media.media2),
                                     reply);
        !r.ok())
        return r;
    if (!ReadEncoderOptions(reply.body, options, media.media2))
        return {OnvifStatus::BadReply, "the reply to GetVideoEncoderConfigurationOptions is not its response"};
    return {};
}

OnvifResult ReadUserList(OnvifSession& session, std::vector<OnvifUser>& users) {
    SoapReply reply;
    if (OnvifResult r = session.Call(DeviceCall("GetUsers"), reply); !r.ok()) return r;
    if (!ReadUsers(reply.body, users)) return {OnvifStatus::BadReply, "the reply to GetUsers is not its response"};
    return {};
}

OnvifResult PrepareStreamAndUsers(OnvifSession& session, const OnvifDeviceState& before, const MediaEndpoint& media,
                                  const OnvifChange& change, const std::string& login, StreamAndUserPlan& plan) {
    plan = {};
    plan.media = media;
    for (const OnvifStreamChange& stream : change.streams) {
        if (media.url.host.empty())
            return {OnvifStatus::NotSupported, "the camera tells no media service, so its streams cannot be set"};
        std::string why;
        const OnvifProfile* profile = FindProfile(before.profiles, stream.profile, why);
        if (!profile) return {OnvifStatus::Refused, why};
        if (!profile->encoder)
            return {OnvifStatus::Refused, "profile " + profile->token + " has no video encoder to set"};
        OnvifEncoderOptions options;
        if (OnvifResult r = ReadEncoderOptionsOf(session, media, *profile, options); !r.ok()) {
            // Without the options nothing can be checked, so nothing is sent.
            r.detail = "the camera's encoder options could not be read: " + r.detail;
            return r;
        }
        OnvifVideoEncoder wanted;
        if (!PlanEncoder(*profile->encoder, options, stream, wanted, why))
            return {OnvifStatus::Refused, profile->token + ": " + why};
        StreamAndUserPlan::Encoder planned{profile->token, &stream, std::nullopt};
        if (EncoderText(wanted) != EncoderText(*profile->encoder)) planned.send = wanted;
        plan.encoders.push_back(planned);
    }
    if (!change.users.empty()) {
        std::vector<OnvifUser> users;
        if (OnvifResult r = ReadUserList(session, users); !r.ok()) {
            r.detail = "the camera's users could not be listed: " + r.detail;
            return r;
        }
        std::string why;
        if (!PlanUserSteps(users, login, change.users, plan.userSteps, why)) return {OnvifStatus::Refused, why};
    }
    return {};
}

OnvifResult SendStreamAndUsers(OnvifSession& session, const StreamAndUserPlan& plan, OnvifCredentials& login,
                               std::vector<std::string>& done) {
    const auto send = [&](const ServiceUrl& url, const SoapCall& call) -> OnvifResult {
        SoapReply reply;
        OnvifResult r = session.Call(url, call, reply);
        if (!r.ok()) {
            r.detail = NameOf(call) + " failed: " + r.detail;
            return r;
        }
        done.push_back(NameOf(call));
        return r;
    };
    for (const StreamAndUserPlan::Encoder& e : plan.encoders)
        if (e.send)
            if (OnvifResult r = send(plan.media.url, SetVideoEncoderCall(*e.send, plan.media.media2)); !r.ok()) return r;
    for (const UserStep& step : plan.userSteps) {
        const SoapCall call = step.call == UserStep::Call::Create ? CreateUserCall(step.name, step.password, step.level)
                              : step.call == UserStep::Call::Set  ? SetUserCall(step.name, step.password, step.level)
                                                                  : DeleteUserCall(step.name);
        if (OnvifResult r = send(session.Device(), call); !r.ok()) return r;
        if (step.call == UserStep::Call::Set && step.name == login.user) {
            login.password = step.password;
            session.SetPassword(step.password);
        }
    }
    return {};
}

std::vector<std::string> UnmetStreamAndUsers(OnvifSession& session, const OnvifChange& change,
                                             const StreamAndUserPlan& plan, const OnvifDeviceState& after) {
    std::vector<std::string> unmet;
    for (const StreamAndUserPlan::Encoder& e : plan.encoders) {
        const OnvifProfile* profile = nullptr;
        for (const OnvifProfile& p : after.profiles)
            if (p.token == e.profileToken) profile = &p;
        if (!profile || !profile->encoder) unmet.push_back("profile " + e.profileToken);
        else
            for (const std::string& f : UnmetStreamFields(*e.change, *profile->encoder))
                unmet.push_back(e.profileToken + " " + f);
    }
    if (!change.users.empty()) {
        std::vector<OnvifUser> users;
        if (!ReadUserList(session, users).ok()) unmet.push_back("users (could not be listed again)");
        else
            for (const std::string& u : UnmetUserChanges(change.users, users)) unmet.push_back(u);
    }
    return unmet;
}

}  // namespace orvanta::onvif

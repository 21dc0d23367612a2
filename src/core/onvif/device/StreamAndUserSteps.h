// The stream and user parts of a change, in the three stages every change
// goes through: prepared against what the camera holds and offers (a
// refusal here sends nothing), sent, and read back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/onvif/device/DeviceStateReader.h"
#include "core/onvif/device/OnvifSession.h"
#include "core/onvif/device/UserAccounts.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

struct StreamAndUserPlan {
    MediaEndpoint media;
    struct Encoder {
        std::string profileToken;
        const OnvifStreamChange* change = nullptr;   // into the change prepared for
        std::optional<OnvifVideoEncoder> send;       // when it differs from what the camera has
    };
    std::vector<Encoder> encoders;
    std::vector<UserStep> userSteps;
};

// The options of the encoder of `profile` (a token or 1-based place) as
// the camera states them. NotSupported when the camera has no such call.
OnvifResult ReadEncoderOptionsOf(OnvifSession& session, const MediaEndpoint& media, const OnvifProfile& profile,
                                 OnvifEncoderOptions& options);

// The camera's users. Many cameras tell them to administrators only.
OnvifResult ReadUserList(OnvifSession& session, std::vector<OnvifUser>& users);

// Checks the stream and user parts of `change` against the camera in
// `before` (read through `media`) and plans what to send; Refused with
// the reason, nothing sent, when a value is not offered or a rule broken.
OnvifResult PrepareStreamAndUsers(OnvifSession& session, const OnvifDeviceState& before, const MediaEndpoint& media,
                                  const OnvifChange& change, const std::string& login, StreamAndUserPlan& plan);

// Sends what was planned; every call that went through is added to `done`.
// A new password for the user logged in with is signed with from the next
// call on, and kept in `login`.
OnvifResult SendStreamAndUsers(OnvifSession& session, const StreamAndUserPlan& plan, OnvifCredentials& login,
                               std::vector<std::string>& done);

// The stream and user fields of `change` that the camera does not show
// after it: the profile from `after`, the users listed again.
std::vector<std::string> UnmetStreamAndUsers(OnvifSession& session, const OnvifChange& change,
                                             const StreamAndUserPlan& plan, const OnvifDeviceState& after);

}  // namespace orvanta::onvif

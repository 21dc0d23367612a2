// The camera's ONVIF users: the requests that change the list, and the
// rules a change must keep before anything is sent. The user we log in as
// is never removed (the rest of the work would be refused), nor is the
// last administrator (nobody could change the camera over ONVIF again).
#pragma once

#include <string>
#include <vector>

#include "core/onvif/device/DeviceRequests.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

SoapCall CreateUserCall(const std::string& name, const std::string& password, const std::string& level);
SoapCall DeleteUserCall(const std::string& name);

// The levels a user may be given here.
bool IsSettableUserLevel(const std::string& level);

// One step to send for a user change against the list as read: an Add of
// a name the camera has already becomes a SetUser (the plan run twice
// gives the same camera).
struct UserStep {
    enum class Call { Create, Set, Delete };
    Call call;
    std::string name, level, password;
};

// The steps for `changes` on a camera listing `users`, logged in as
// `login`. False with `why` when a change breaks a rule above, names a
// user the camera lacks, or gives a level or password that may not be.
bool PlanUserSteps(const std::vector<OnvifUser>& users, const std::string& login,
                   const std::vector<OnvifUserChange>& changes, std::vector<UserStep>& steps, std::string& why);

// The changes `users` (read back) does not show, as "add_user NAME" and the like.
std::vector<std::string> UnmetUserChanges(const std::vector<OnvifUserChange>& changes, const std::vector<OnvifUser>& users);

}  // namespace orvanta::onvif

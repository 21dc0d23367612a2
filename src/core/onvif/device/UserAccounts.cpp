#include "core/onvif/device/UserAccounts.h"

#include <algorithm>

#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/SoapEnvelope.h"

namespace orvanta::onvif {

namespace {

std::string Text(const std::string& name, const std::string& value) {
    return "<" + name + ">" + XmlEscape(value) + "</" + name + ">";
}

std::vector<OnvifUser>::iterator Named(std::vector<OnvifUser>& users, const std::string& name) {
    return std::find_if(users.begin(), users.end(), [&](const OnvifUser& u) { return u.name == name; });
}

long Administrators(const std::vector<OnvifUser>& users) {
    return std::count_if(users.begin(), users.end(), [](const OnvifUser& u) { return u.level == "Administrator"; });
}

// ONVIF user names are plain: no blanks or controls (cameras refuse them,
// some only after storing half the change).
bool PlainName(const std::string& name) {
    if (name.empty() || name.size() > 64) return false;
    return std::none_of(name.begin(), name.end(), [](unsigned char c) { return c <= ' ' || c == 0x7f; });
}

}  // namespace

SoapCall CreateUserCall(const std::string& name, const std::string& password, const std::string& level) {
    return {std::string(ns::kDevice) + "/CreateUsers",
            "<tds:CreateUsers><tds:User>" + Text("tt:Username", name) + Text("tt:Password", password) +
                Text("tt:UserLevel", level) + "</tds:User></tds:CreateUsers>"};
}

SoapCall DeleteUserCall(const std::string& name) {
    return {std::string(ns::kDevice) + "/DeleteUsers", "<tds:DeleteUsers>" + Text("tds:Username", name) + "</tds:DeleteUsers>"};
}

bool IsSettableUserLevel(const std::string& level) {
    return level == "Administrator" || level == "Operator" || level == "User";
}

bool PlanUserSteps(const std::vector<OnvifUser>& users, const std::string& login,
                   const std::vector<OnvifUserChange>& changes, std::vector<UserStep>& steps, std::string& why) {
    steps.clear();
    std::vector<OnvifUser> list = users;
    for (const OnvifUserChange& c : changes) {
        if (!PlainName(c.name)) {
            why = "'" + c.name + "' is not a user name (1 to 64 characters, no blanks)";
            return false;
        }
        const auto it = Named(list, c.name);
        switch (c.kind) {
            case OnvifUserChange::Kind::Add:
                if (!IsSettableUserLevel(c.level)) {
                    why = "user level '" + c.level + "' is not one of Administrator, Operator, User";
                    return false;
                }
                if (c.password.empty()) {
                    why = "user " + c.name + " needs a password";
                    return false;
                }
                if (it == list.end()) {
                    steps.push_back({UserStep::Call::Create, c.name, c.level, c.password});
                    list.push_back({c.name, c.level});
                } else {
                    if (c.name == login && c.level != it->level) {
                        why = "the level of " + c.name + ", the user logged in with, is not changed here";
                        return false;
                    }
                    steps.push_back({UserStep::Call::Set, c.name, c.level, c.password});
                    it->level = c.level;
                }
                break;
            case OnvifUserChange::Kind::SetPassword:
                if (it == list.end()) {
                    why = "the camera has no user " + c.name;
                    return false;
                }
                if (c.password.empty()) {
                    why = "the new password of " + c.name + " is empty";
                    return false;
                }
                steps.push_back({UserStep::Call::Set, c.name, it->level, c.password});
                break;
            case OnvifUserChange::Kind::Remove:
                if (c.name == login) {
                    why = c.name + " is the user logged in with; it is not removed";
                    return false;
                }
                if (it == list.end()) {
                    why = "the camera has no user " + c.name;
                    return false;
                }
                steps.push_back({UserStep::Call::Delete, c.name, it->level, {}});
                list.erase(it);
                break;
        }
    }
    if (Administrators(users) > 0 && Administrators(list) == 0) {
        why = "that would leave the camera without an administrator";
        return false;
    }
    return true;
}

std::vector<std::string> UnmetUserChanges(const std::vector<OnvifUserChange>& changes, const std::vector<OnvifUser>& users) {
    std::vector<std::string> out;
    std::vector<OnvifUser> list = users;
    for (const OnvifUserChange& c : changes) {
        const auto it = Named(list, c.name);
        if (c.kind == OnvifUserChange::Kind::Remove && it != list.end()) out.push_back("remove_user " + c.name);
        if (c.kind == OnvifUserChange::Kind::Add && (it == list.end() || it->level != c.level))
            out.push_back("add_user " + c.name);
        if (c.kind == OnvifUserChange::Kind::SetPassword && it == list.end()) out.push_back("set_user_password " + c.name);
    }
    return out;
}

}  // namespace orvanta::onvif

// The stream and user options of `onvif set`, the profile table of `onvif
// read`, and the user list of `onvif users`: the command line's view of
// the camera's media profiles and accounts.
#pragma once

#include <string>
#include <vector>

#include "CommandLine.h"
#include "core/onvif/OnvifTypes.h"

namespace orvanta::cli {

// --profile --encoding --resolution --fps --bitrate --gop --quality
// --add-user --user-level --set-user-password --remove-user --user-password-file
const std::vector<OptionSpec>& StreamAndUserOptions();

// Puts the stream and user options into `change`; passwords only from
// --user-password-file. False with `why` for a value that cannot be one.
bool ReadStreamAndUserChange(const ParsedArgs& p, onvif::OnvifChange& change, std::string& why);

std::string ProfilesJson(const std::vector<onvif::OnvifProfile>& profiles);
// One line a profile, columns aligned; camera text made terminal-safe.
std::string ProfilesTable(const std::vector<onvif::OnvifProfile>& profiles);

std::string UsersJson(const std::vector<onvif::OnvifUser>& users);
std::string UsersText(const std::vector<onvif::OnvifUser>& users);

}  // namespace orvanta::cli

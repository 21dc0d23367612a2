// What every onvif subcommand shares: naming the camera (address,
// address:port, device service URL or endpoint reference) and reaching it,
// the login options, the exit code and the words for a failure. The
// definitions live beside read and set (OnvifCommands.cpp).
#pragma once

#include <string>
#include <vector>

#include "CommandLine.h"
#include "OnvifReach.h"
#include "core/onvif/device/NetworkOnvifService.h"

namespace orvanta::cli {

int OnvifExitFor(onvif::OnvifStatus status);
std::string OnvifExplain(const onvif::OnvifResult& result, const onvif::OnvifCredentials& login);

// --user, the password options and --format.
const std::vector<OptionSpec>& OnvifLoginOptions();
bool ReadOnvifLogin(const char* command, const ParsedArgs& p, onvif::OnvifCredentials& login, std::string& why);

// Every call of the command ends by its --timeout.
onvif::OnvifApplySettings OnvifCommandSettings(const TransportSettings& limits);

// False with `why` (terminal-safe) for a TARGET that names no camera.
bool ParseOnvifTarget(const std::string& text, std::string& why);

// Finds and reaches the camera TARGET names (a search for an endpoint
// reference, a temporary address where needed, its service port asked);
// Ok with `device`, to hand to `service`.
onvif::OnvifResult ReachOnvifTarget(const std::string& text, OnvifReach& reach, onvif::NetworkOnvifService& service,
                                    const onvif::OnvifCallSettings& call, onvif::OnvifDevice& device);

}  // namespace orvanta::cli

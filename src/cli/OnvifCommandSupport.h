// What the onvif subcommands share: naming a camera (address, URL or
// endpoint reference) and reaching it, the login options, the exit code
// and the words of a failure, the time limit and the signal watch.
// Defined in OnvifCommands.cpp; the maintenance commands live in
// OnvifMaintenanceCommands.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "OnvifReach.h"
#include "core/onvif/device/NetworkOnvifService.h"

namespace orvanta::cli {

int OnvifExit(onvif::OnvifStatus status);
std::string OnvifExplain(const onvif::OnvifResult& r, const onvif::OnvifCredentials& login);
// --user, the password options and --format.
const std::vector<OptionSpec>& OnvifLoginOptions();
bool ReadOnvifLogin(const char* command, const ParsedArgs& p, onvif::OnvifCredentials& login, std::string& why);
// Checks the form of a target only; nothing is sent.
bool ParseOnvifTarget(const std::string& text, std::string& why);
// Makes the target reachable (a search for an endpoint reference, a
// temporary address when needed) and learns its device service; Ok with
// `device` the camera to hand to the service.
onvif::OnvifResult ReachOnvifTarget(const std::string& text, onvif::NetworkOnvifService& service, OnvifReach& reach,
                                    onvif::OnvifDevice& device);
onvif::OnvifApplySettings OnvifCommandSettings(const TransportSettings& limits);
void RunOnvifUntilSignal(const std::function<void()>& work, OnvifReach& reach);

int RunOnvifFirmware(const Args& args);                           // OnvifMaintenanceCommands.cpp
int RunOnvifRestart(const std::string& which, const Args& args);  // OnvifMaintenanceCommands.cpp

}  // namespace orvanta::cli

// The subcommands of orvanta-cli. Each takes the arguments after its name and
// returns the exit code (see ExitCode in CommandLine.h).
#pragma once

#include <string>
#include <vector>

namespace orvanta::cli {

using Args = std::vector<std::string>;

int RunDiscover(const Args& args);    // DiscoverCommand.cpp
int RunRead(const Args& args);        // CameraCommands.cpp
int RunSave(const Args& args);        // CameraCommands.cpp
int RunScanAp(const Args& args);      // CameraCommands.cpp
int RunWps(const Args& args);         // CameraCommands.cpp
int RunServerList(const Args& args);  // ServerListCommand.cpp
int RunFreeIp(const Args& args);      // HostnetCommands.cpp
int RunProbe(const Args& args);       // HostnetCommands.cpp
int RunProvision(const Args& args);   // ProvisionCommand.cpp
int RunOnvif(const Args& args);       // OnvifCommands.cpp
int RunOnvifSnapshot(const Args& args);  // OnvifSnapshotCommand.cpp
int RunReport(const Args& args);      // ReportCommand.cpp

}  // namespace orvanta::cli

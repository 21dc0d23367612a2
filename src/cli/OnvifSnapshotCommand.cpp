// onvif snapshot: the camera's still picture, to a file or to standard
// output when that is a pipe or a file (a JPEG on a terminal is noise).
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "CliCommands.h"
#include "CommandLine.h"
#include "OnvifCommandSupport.h"
#include "WholeFile.h"
#include "core/base/OutputText.h"

namespace orvanta::cli {

namespace {

using namespace orvanta::onvif;

std::string SnapshotJson(const OnvifSnapshot& s, const std::string& file) {
    using output::JsonString;
    return "{\"file\": " + JsonString(file) + ", \"bytes\": " + std::to_string(s.jpeg.size()) +
           ", \"width\": " + std::to_string(s.width) + ", \"height\": " + std::to_string(s.height) +
           ", \"uri\": " + JsonString(s.uri) + ", \"fetched_from\": " + JsonString(s.fetchedFrom) + "}\n";
}

}  // namespace

int RunOnvifSnapshot(const Args& args) {
    std::vector<OptionSpec> specs = OnvifLoginOptions();
    specs.insert(specs.end(), {{"-o", true}, {"--output", true}});
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, specs, p, why) || !ParseFormatOption(p, {"text", "json"}, "text", format, why))
        return UsageError("onvif", why);
    if (p.positional.size() != 1) return UsageError("onvif", "onvif snapshot expects one TARGET");
    const std::string file = p.Has("-o") ? p.Get("-o") : p.Get("--output");
    // Checked before anything is sent: the picture must have somewhere to go.
    if (file.empty() && StdoutIsTerminal())
        return UsageError("onvif", "standard output is a terminal: give -o FILE, or redirect it to a file");
    if (file.empty() && format == "json")
        return UsageError("onvif", "--format json describes the picture written with -o FILE");
    if (!ParseOnvifTarget(p.positional.front(), why)) return UsageError("onvif", why);
    TransportSettings limits;
    if (!ApplyCommonOptions("onvif snapshot", p, kDefaultTimeoutSeconds, why, &limits)) return UsageError("onvif", why);
    OnvifCredentials login;
    if (!ReadOnvifLogin("onvif snapshot", p, login, why)) return UsageError("onvif", why);
    const OnvifApplySettings settings = OnvifCommandSettings(limits);
    const bool json = format == "json";

    OnvifReach reach;
    NetworkOnvifService service(settings);
    OnvifDevice device;
    OnvifSnapshot picture;
    OnvifResult r = ReachOnvifTarget(p.positional.front(), service, reach, device);
    if (r.ok()) r = service.Snapshot(device, login, picture);
    if (!r.ok()) return Fail("onvif snapshot", OnvifExit(r.status), OnvifExplain(r, login), json);
    if (file.empty()) {
        PrintResult(picture.jpeg);
        return kExitDone;
    }
    if (!WriteFileWhole(file, picture.jpeg, why)) return Fail("onvif snapshot", kExitFailed, why, json);
    if (json)
        PrintResult(SnapshotJson(picture, file));
    else
        PrintResult(output::TerminalSafe(file + ": JPEG " + std::to_string(picture.width) + "x" +
                                         std::to_string(picture.height) + ", " + std::to_string(picture.jpeg.size()) +
                                         " bytes") +
                    "\n");
    return kExitDone;
}

}  // namespace orvanta::cli

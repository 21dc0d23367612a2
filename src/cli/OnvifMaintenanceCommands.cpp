// onvif firmware, onvif reboot and onvif reset --soft: maintenance of other
// makers' cameras. Progress goes to stderr (a bar on a terminal, a line per
// tenth and per stage otherwise); the result to stdout.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>

#include "CliCommands.h"
#include "CommandLine.h"
#include "OnvifCommandSupport.h"
#include "OnvifReach.h"
#include "PasswordInput.h"
#include "core/base/OutputText.h"
#include "core/onvif/device/FirmwareImage.h"
#include "core/output/RecordWriter.h"

namespace orvanta::cli {

namespace {

using namespace orvanta::onvif;
using output::JsonString;

// Flashing takes minutes on real cameras, and a large image on a slow link
// more: the overall limit is generous, --wait-seconds bounds the wait for
// the camera to come back.
constexpr int kFirmwareTimeoutSeconds = 3600;
constexpr int kRestartTimeoutSeconds = 600;

const std::vector<OptionSpec> kLoginOptions = {
    {"--user", true}, {"--password", true}, {"--password-file", true}, {"--format", true}, {"--wait-seconds", true}};

bool ReadWaitSeconds(const ParsedArgs& p, int& seconds, std::string& why) {
    if (!p.values.count("--wait-seconds")) return true;
    const std::string text = p.Get("--wait-seconds");
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(text) < 1) {
        why = "--wait-seconds takes a whole number of seconds from 1 to 99999";
        return false;
    }
    seconds = std::stoi(text);
    return true;
}

// What the user watches while an image goes out and the camera restarts.
class ProgressLine {
public:
    explicit ProgressLine(bool terminal) : terminal_(terminal) {}
    ~ProgressLine() { EndBar(); }

    void Show(const FirmwareProgress& p) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (p.stage != FirmwareProgress::Stage::Uploading) {
            EndBar();
            if (p.stage != lastStage_)
                std::fprintf(stderr, "%s\n", p.stage == FirmwareProgress::Stage::Restarting ? "waiting for the camera to restart"
                                             : p.stage == FirmwareProgress::Stage::Finding  ? "looking for the camera"
                                                                                             : "reading its version");
            lastStage_ = p.stage;
            return;
        }
        const int percent = p.total ? static_cast<int>(p.sent * 100 / p.total) : 0;
        if (terminal_) {
            // Redrawn a few times a second at most: a fast link would
            // otherwise spend its time writing to the terminal.
            const auto now = std::chrono::steady_clock::now();
            if (percent == lastPercent_ && now - lastDraw_ < std::chrono::milliseconds(200)) return;
            lastDraw_ = now;
            const int filled = percent * 30 / 100;
            std::fprintf(stderr, "\r[%s%s] %3d%% %.1f/%.1f MiB", std::string(filled, '#').c_str(),
                         std::string(30 - filled, ' ').c_str(), percent, p.sent / 1048576.0, p.total / 1048576.0);
            std::fflush(stderr);
            barOpen_ = true;
        } else if (percent / 10 != lastPercent_ / 10 || lastPercent_ < 0) {
            std::fprintf(stderr, "uploaded %d%% (%llu of %llu bytes)\n", percent, static_cast<unsigned long long>(p.sent),
                         static_cast<unsigned long long>(p.total));
        }
        lastPercent_ = percent;
    }

private:
    void EndBar() {
        if (!barOpen_) return;
        std::fputc('\n', stderr);
        barOpen_ = false;
    }

    bool terminal_;
    bool barOpen_ = false;
    int lastPercent_ = -1;
    FirmwareProgress::Stage lastStage_ = FirmwareProgress::Stage::Uploading;
    std::chrono::steady_clock::time_point lastDraw_{};
    std::mutex mutex_;
};

std::string ReportJson(const FirmwareReport& r, const std::string& target, bool ok) {
    return "{\"target\": " + JsonString(target) + ", \"before\": " + JsonString(r.before) +
           ", \"after\": " + JsonString(r.after) + ", \"method\": " + JsonString(r.method) +
           ", \"sent\": " + std::to_string(r.sent) + ", \"total\": " + std::to_string(r.total) +
           ", \"upload_complete\": " + (r.uploadComplete ? "true" : "false") +
           ", \"skipped\": " + (r.skipped ? "true" : "false") + ", \"where\": " + JsonString(r.where) +
           ", \"upgraded\": " + (ok ? "true" : "false") + "}";
}

std::string ReportText(const FirmwareReport& r) {
    std::string out = "before=" + r.before + "\nafter=" + r.after + "\n";
    if (!r.skipped) {
        out += "method=" + r.method + "\nsent=" + std::to_string(r.sent) + " of " + std::to_string(r.total) + " bytes\n";
        if (!r.where.empty()) out += "where=" + r.where + "\n";
    }
    return output::TerminalSafe(out);
}

// A question on the terminal: true only for a yes.
bool Confirm(const std::string& question) {
    std::fprintf(stderr, "%s [y/N] ", question.c_str());
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "YES" || answer == "Yes";
}

}  // namespace

int RunOnvifFirmware(const Args& args) {
    std::vector<OptionSpec> specs = kLoginOptions;
    specs.insert(specs.end(), {{"--file", true}, {"--expect-version", true}});
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, specs, p, why) || !ParseFormatOption(p, {"text", "json"}, "text", format, why))
        return UsageError("onvif", why);
    if (p.positional.size() != 1) return UsageError("onvif", "onvif firmware expects one TARGET");
    if (!p.values.count("--file")) return UsageError("onvif", "onvif firmware needs --file F");
    if (!ParseOnvifTarget(p.positional.front(), why)) return UsageError("onvif", why);
    int waitSeconds = -1;
    if (!ReadWaitSeconds(p, waitSeconds, why)) return UsageError("onvif", why);
    TransportSettings limits;
    if (!ApplyCommonOptions("onvif firmware", p, kFirmwareTimeoutSeconds, why, &limits)) return UsageError("onvif", why);
    OnvifCredentials login;
    if (!ReadOnvifLogin("onvif firmware", p, login, why)) return UsageError("onvif", why);
    const bool json = format == "json";
    FirmwareUpgrade upgrade{p.Get("--file"), p.Get("--expect-version")};
    // The file is checked before any camera is asked anything.
    {
        FirmwareImage image;
        if (OnvifResult r = FirmwareImage::Open(upgrade.file, image); !r.ok())
            return Fail("onvif firmware", kExitUsage, output::TerminalSafe(r.detail), json);
    }
    OnvifApplySettings settings = OnvifCommandSettings(limits);
    if (waitSeconds > 0) settings.firmwareMargin = std::chrono::seconds(waitSeconds);

    OnvifReach reach;
    NetworkOnvifService service(settings);
    OnvifDevice device;
    if (OnvifResult r = ReachOnvifTarget(p.positional.front(), service, reach, device); !r.ok())
        return Fail("onvif firmware", OnvifExit(r.status), output::TerminalSafe(OnvifExplain(r, login)) + "; nothing was sent", json);
    ProgressLine line(isatty(STDERR_FILENO) == 1);
    FirmwareReport report;
    OnvifResult r;
    RunOnvifUntilSignal([&] {
        r = service.UpgradeFirmware(device, login, upgrade, [&](const FirmwareProgress& f) { line.Show(f); }, report);
    }, reach);
    if (!r.ok()) {
        // What was found out is still true and printed; the exit code says
        // the upgrade did not take.
        if (report.before.empty())
            return Fail("onvif firmware", OnvifExit(r.status), output::TerminalSafe(OnvifExplain(r, login)), json);
        PrintResult(json ? ReportJson(report, p.positional.front(), false) + "\n" : ReportText(report));
        std::fprintf(stderr, "orvanta-cli onvif firmware: %s\n", output::TerminalSafe(OnvifExplain(r, login)).c_str());
        return OnvifExit(r.status);
    }
    if (report.skipped)
        std::fprintf(stderr, "orvanta-cli onvif firmware: the camera already runs %s; nothing was sent\n",
                     output::TerminalSafe(report.before).c_str());
    PrintResult(json ? ReportJson(report, p.positional.front(), true) + "\n" : ReportText(report));
    return kExitDone;
}

int RunOnvifRestart(const std::string& which, const Args& args) {
    std::vector<OptionSpec> specs = kLoginOptions;
    specs.push_back({"--yes", false});
    if (which == "reset") specs.push_back({"--soft", false});
    const std::string command = "onvif " + which;
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args, specs, p, why) || !ParseFormatOption(p, {"text", "json"}, "text", format, why))
        return UsageError("onvif", why);
    if (p.positional.size() != 1) return UsageError("onvif", command + " expects one TARGET");
    // A hard factory default would lose the camera's address: only the
    // soft one is offered, and it is asked for by name.
    if (which == "reset" && !p.Has("--soft"))
        return UsageError("onvif", "onvif reset needs --soft (settings back to the maker's, network settings kept)");
    if (!ParseOnvifTarget(p.positional.front(), why)) return UsageError("onvif", why);
    int waitSeconds = -1;
    if (!ReadWaitSeconds(p, waitSeconds, why)) return UsageError("onvif", why);
    TransportSettings limits;
    if (!ApplyCommonOptions(command.c_str(), p, kRestartTimeoutSeconds, why, &limits)) return UsageError("onvif", why);
    const bool json = format == "json";
    const std::string what = which == "reboot" ? "Restart" : "Reset to the maker's settings (network kept) and restart";
    if (!p.Has("--yes")) {
        if (isatty(STDIN_FILENO) != 1 || isatty(STDERR_FILENO) != 1)
            return Fail(command.c_str(), kExitUsage,
                        "not on a terminal, so nobody can confirm; give --yes to " +
                            std::string(which == "reboot" ? "restart" : "reset") + " the camera from a script",
                        json);
        if (!Confirm(what + " the camera at " + output::TerminalSafe(p.positional.front()) + "?"))
            return Fail(command.c_str(), kExitUsage, "not confirmed; nothing was sent", json);
    }
    OnvifCredentials login;
    if (!ReadOnvifLogin(command.c_str(), p, login, why)) return UsageError("onvif", why);
    OnvifApplySettings settings = OnvifCommandSettings(limits);
    if (waitSeconds > 0) settings.rebootLimit = std::chrono::seconds(waitSeconds);

    OnvifReach reach;
    NetworkOnvifService service(settings);
    OnvifDevice device;
    if (OnvifResult r = ReachOnvifTarget(p.positional.front(), service, reach, device); !r.ok())
        return Fail(command.c_str(), OnvifExit(r.status), output::TerminalSafe(OnvifExplain(r, login)) + "; nothing was sent", json);
    if (!json) std::fprintf(stderr, "waiting for the camera to restart\n");
    OnvifDeviceState after;
    OnvifResult r;
    const RestartKind kind = which == "reboot" ? RestartKind::Reboot : RestartKind::SoftDefault;
    RunOnvifUntilSignal([&] { r = service.Restart(device, login, kind, after); }, reach);
    if (!r.ok()) return Fail(command.c_str(), OnvifExit(r.status), output::TerminalSafe(OnvifExplain(r, login)), json);
    const std::string verb = which == "reboot" ? "restarted" : "reset";
    if (json)
        PrintResult("{\"uuid\": " + JsonString(after.endpoint) + ", \"address\": " + JsonString(after.ipv4.address) +
                    ", \"firmware\": " + JsonString(after.firmware) + ", \"" + verb + "\": true}\n");
    else
        PrintResult(output::TerminalSafe(verb + ": the camera answers again as " + after.endpoint + " (firmware " +
                                         after.firmware + ")") + "\n");
    return kExitDone;
}

}  // namespace orvanta::cli

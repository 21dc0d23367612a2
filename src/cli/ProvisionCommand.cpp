// orvanta-cli provision PLAN: sets up the cameras of a plan file (see
// core/provision). The plan is checked whole before anything is sent; each
// camera's outcome is one report row; the exit code is 0 only when every
// row is done or unchanged.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "CliCommands.h"
#include "core/provision/FirmwarePlan.h"
#include "core/onvif/device/DeviceStateReader.h"
#include "CommandLine.h"
#include "PasswordInput.h"
#include "core/hostnet/ExitSignals.h"
#include "core/hostnet/HostNetwork.h"
#include "core/onvif/device/NetworkOnvifService.h"
#include "core/base/OutputText.h"
#include "core/provision/PlanFile.h"
#include "core/provision/Provisioner.h"

namespace orvanta::cli {

namespace {

using namespace orvanta::provision;
using output::OutputTable;
using output::OutputValue;

// The whole run may take long (a hundred cameras, each restarting): the
// overall limit is an hour unless --timeout says otherwise.
constexpr int kProvisionTimeoutSeconds = 3600;
constexpr int kMaxParallel = 64;

bool ParseCount(const ParsedArgs& p, const char* name, long low, long high, int& value, std::string& why) {
    if (!p.values.count(name)) return true;
    const std::string text = p.Get(name);
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < low || v > high) {
        why = std::string(name) + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high);
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

std::string Changes(const RowResult& r) {
    std::string text;
    for (const FieldChange& c : r.changes)
        text += (text.empty() ? "" : "; ") + c.key + ": " + c.before + " \u2192 " + c.after;
    return text;
}

OutputTable ReportTable(const Plan& plan, const std::vector<RowResult>& results, bool dryRun) {
    OutputTable table;
    table.columns = {"camera", "mac", "serial", "status", "old_address", "new_address", "seconds"};
    table.columns.push_back(dryRun ? "changes" : "detail");
    // After a run, what a handover report needs besides: the kind, what
    // was changed and when (orvanta-cli report reads them back).
    if (!dryRun) table.columns.insert(table.columns.end(), {"kind", "changes", "finished"});
    for (std::size_t i = 0; i < results.size(); ++i) {
        const RowResult& r = results[i];
        // A number in JSON and bare in CSV, to a tenth of a second.
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", r.seconds);
        OutputValue taken;
        taken.kind = OutputValue::Kind::Number;
        taken.text = seconds;
        table.rows.push_back({OutputValue::Text(r.camera), OutputValue::Text(r.mac), OutputValue::Text(r.serial),
                              OutputValue::Text(StatusName(r.status)), OutputValue::Text(r.oldAddress),
                              OutputValue::Text(r.newAddress), taken,
                              OutputValue::Text(dryRun ? Changes(r) : r.detail)});
        if (dryRun) continue;
        const bool onvifRow = i < plan.rows.size() && plan.rows[i].kind == CameraKind::Onvif;
        table.rows.back().insert(table.rows.back().end(),
                                 {OutputValue::Text(onvifRow ? "onvif" : "native"), OutputValue::Text(Changes(r)),
                                  OutputValue::Text(r.finished.time_since_epoch().count() ? onvif::UtcText(r.finished) : "")});
    }
    return table;
}

// The dry run in words: a camera a block, one "field: old -> new" line a
// change. The old values are the camera's own text: each line is made safe,
// so a value cannot break a line or reach a terminal as a control sequence.
std::string DryRunText(const std::vector<RowResult>& results) {
    std::string text;
    for (const RowResult& r : results) {
        std::string head = r.camera + (r.oldAddress.empty() ? "" : " (" + r.oldAddress + ")") + ": " + StatusName(r.status);
        if (!r.detail.empty()) head += " - " + r.detail;
        text += output::TerminalSafe(head) + "\n";
        for (const FieldChange& c : r.changes)
            text += "  " + output::TerminalSafe(c.key + ": " + c.before + " \u2192 " + c.after) + "\n";
    }
    return text;
}

}  // namespace

int RunProvision(const Args& args) {
    ParsedArgs p;
    std::string why, format;
    if (!ParseOptions(args,
                      {{"--user", true}, {"--password", true}, {"--password-file", true}, {"--format", true},
                       {"--report", true}, {"--parallel", true}, {"--dry-run", false}, {"--search-seconds", true},
                       {"--refind-seconds", true}},
                      p, why) ||
        !ParseFormatOption(p, {"text", "csv", "json"}, "text", format, why))
        return UsageError("provision", why);
    if (p.positional.size() != 1) return UsageError("provision", "expected one PLAN file");
    ProvisionOptions options;
    if (!ParseCount(p, "--parallel", 1, kMaxParallel, options.parallel, why) ||
        !ParseCount(p, "--search-seconds", 1, 3600, options.searchSeconds, why) ||
        !ParseCount(p, "--refind-seconds", 1, 3600, options.refindSeconds, why))
        return UsageError("provision", why);
    options.dryRun = p.Has("--dry-run");
    // The watchdog first: reading the password or the plan may block.
    if (!ApplyCommonOptions("provision", p, kProvisionTimeoutSeconds, why, &options.transport))
        return UsageError("provision", why);
    if (!ReadPassword("provision", p, options.password, options.havePassword, why))
        return UsageError("provision", why);
    options.haveUser = p.values.count("--user") > 0;
    options.user = p.Get("--user");
    if (options.user.size() > 63 || options.password.size() > 63)
        return UsageError("provision", "user name and password hold at most 63 bytes");

    std::string content;
    const std::string file = p.positional.front();
    if (!ReadWholeFile(file, content, why)) return UsageError("provision", why);
    Plan plan;
    std::vector<std::string> problems;
    bool planOk = ReadPlan(content, plan, problems);
    // Firmware images and password files are named relative to the plan's
    // folder and checked with the rest.
    const std::string folder = std::filesystem::path(file).parent_path().string();
    planOk = ReadFilesBesidePlan(plan, folder.empty() ? "." : folder, problems) && planOk;
    if (!planOk) {
        // Every fault at once, so the plan is mended in one go.
        for (const std::string& problem : problems)
            std::fprintf(stderr, "orvanta-cli provision: %s: %s\n", file.c_str(), output::TerminalSafe(problem).c_str());
        return Fail("provision", kExitUsage,
                    file + ": " + std::to_string(problems.size()) + " problem(s); nothing was sent", format == "json");
    }
    const std::string reportFile = p.Get("--report");

    // Ctrl-C and SIGTERM end the workers at their next step, so that every
    // temporary address is removed before the process ends.
    hostnet::InstallExitSignals();
    std::unique_ptr<hostnet::HostNetwork> net = hostnet::MakeLinuxHostNetwork();
    // ONVIF rows: one network service per row (the one place it is made),
    // reaching a moved camera through the run's temporary addresses and
    // waiting for it as long as for our own cameras when told how long.
    onvif::OnvifApplySettings onvifSettings;
    if (p.values.count("--refind-seconds")) {
        onvifSettings.refindLimit = onvifSettings.rebootLimit = std::chrono::seconds(options.refindSeconds);
        // Past the down time a camera announces for its new firmware.
        onvifSettings.firmwareMargin = std::chrono::seconds(options.refindSeconds);
    }
    options.onvifService = [onvifSettings](const ProvisionOptions::OnvifReach& reach) {
        return onvif::MakeNetworkOnvifService(onvifSettings, reach);
    };
    Provisioner provisioner(plan, options, net.get());
    const bool terminal = isatty(STDERR_FILENO) == 1;
    const std::size_t total = plan.rows.size();
    std::atomic<std::size_t> finished{0};
    provisioner.SetProgress([&](std::size_t, const RowResult& r, const std::string& step) {
        if (!step.empty() || !terminal) {
            return;
        }
        const std::size_t n = ++finished;
        std::string line = "[" + std::to_string(n) + "/" + std::to_string(total) + "] " + r.camera + ": " +
                           StatusName(r.status);
        if (r.newAddress != r.oldAddress && !r.newAddress.empty()) line += " " + r.oldAddress + " \u2192 " + r.newAddress;
        if (!r.detail.empty()) line += " (" + r.detail + ")";
        std::fprintf(stderr, "%s\n", output::TerminalSafe(line).c_str());
    });
    std::vector<RowResult> results;
    bool started = true;
    std::atomic<bool> ran{false};
    std::thread runner([&] {
        started = provisioner.Run(results, why);
        ran = true;
    });
    int signal = 0;
    while (!ran) {
        if (signal == 0 && (signal = hostnet::ExitSignalReceived()) != 0) provisioner.Cancel();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    runner.join();
    provisioner.RemoveTemporaryAddresses();
    const bool json = format == "json";
    if (!started) return Fail("provision", kExitFailed, "the search could not run: " + why, json);

    std::string out;
    const OutputTable table = ReportTable(plan, results, options.dryRun);
    if (format == "text" && options.dryRun) out = DryRunText(results);
    else out = WriteOutputTable(format, table);
    if (!reportFile.empty()) {
        std::ofstream report(reportFile, std::ios::binary | std::ios::trunc);
        report << (format == "text" ? output::WriteTable(output::OutputFormat::Text, table) : out);
        if (!report.flush()) return Fail("provision", kExitFailed, "cannot write the report to " + reportFile, json);
    } else {
        PrintResult(out);
    }
    if (signal != 0) return 128 + signal;
    for (const RowResult& r : results)
        if (!IsSuccess(r.status)) return kExitFailed;
    return kExitDone;
}

}  // namespace orvanta::cli

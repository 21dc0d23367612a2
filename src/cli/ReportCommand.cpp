// report: the handover document for a list of ONVIF cameras, or for the
// result of a plan run, with each ONVIF camera read and its picture taken
// as it is now.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CliCommands.h"
#include "CommandLine.h"
#include "OnvifCommandSupport.h"
#include "WholeFile.h"
#include "core/base/OutputText.h"
#include "core/onvif/device/DeviceStateReader.h"
#include "core/report/HandoverReport.h"
#include "core/report/PlanResultReader.h"
#include "core/report/ReportReading.h"

namespace orvanta::cli {

namespace {

using namespace orvanta::onvif;
using report::ReportCamera;

// Cameras read at once: a report of a whole site is written in seconds,
// and no camera sees more than one of our connections at a time.
constexpr std::size_t kReadersAtOnce = 8;

std::string NowUtc() { return UtcText(std::chrono::system_clock::now()); }

// Reaches `target` and reads it (and its picture) into `row`. False when the
// camera could not be read at all; the row says why.
bool FillFromCamera(ReportCamera& row, const std::string& target, const OnvifCredentials& login,
                    const OnvifApplySettings& settings, bool pictures, OnvifReach& reach) {
    NetworkOnvifService service(settings);
    OnvifDevice device;
    OnvifResult r = ReachOnvifTarget(target, service, reach, device);
    if (r.ok() && report::ReadIntoReport(service, device, login, pictures, row, r)) return true;
    const std::string why = "not read: " + OnvifExplain(r, login);
    row.note = row.note.empty() ? why : row.note + "; " + why;
    row.noPicture = "not read";
    return false;
}

}  // namespace

int RunReport(const Args& args) {
    std::vector<OptionSpec> specs = OnvifLoginOptions();
    specs.insert(specs.end(), {{"-o", true}, {"--output", true}, {"--plan-result", true}, {"--title", true},
                               {"--site", true}, {"--no-pictures", false}});
    ParsedArgs p;
    std::string why;
    if (!ParseOptions(args, specs, p, why)) return UsageError("report", why);
    if (p.Has("--format")) return UsageError("report", "the report is HTML; it takes no --format");
    const std::string planResult = p.Get("--plan-result");
    if (planResult.empty() == p.positional.empty())
        return UsageError("report", "give the cameras (TARGET...) or --plan-result FILE, one of the two");
    for (const std::string& t : p.positional)
        if (!ParseOnvifTarget(t, why)) return UsageError("report", why);
    const std::string file = p.Has("-o") ? p.Get("-o") : p.Get("--output");

    std::vector<ReportCamera> rows;
    std::vector<std::string> targets;  // per row: what to read ("" for a row not to read)
    report::ReportHeading heading;
    if (p.Has("--title")) heading.title = p.Get("--title");
    heading.site = p.Get("--site");
    if (!planResult.empty()) {
        std::string text;
        if (!ReadWholeFile(planResult, text, why)) return UsageError("report", why);
        if (!report::ReadPlanResult(text, rows, why)) return UsageError("report", planResult + ": " + why);
        heading.source = "the plan run " + std::filesystem::path(planResult).filename().string();
        for (const ReportCamera& r : rows)
            // Our own cameras are set up through their own pages; the plan's
            // result is what the report says of them.
            targets.push_back(r.kind == "ours" ? "" : r.address);
    } else {
        heading.source = "a read of " + std::to_string(p.positional.size()) + " camera(s)";
        for (const std::string& t : p.positional) {
            ReportCamera r;
            r.address = t;
            r.status = "read";
            rows.push_back(r);
            targets.push_back(t);
        }
    }
    TransportSettings limits;
    if (!ApplyCommonOptions("report", p, kDefaultTimeoutSeconds, why, &limits)) return UsageError("report", why);
    OnvifCredentials login;
    if (!ReadOnvifLogin("report", p, login, why)) return UsageError("report", why);
    const OnvifApplySettings settings = OnvifCommandSettings(limits);
    const bool pictures = !p.Has("--no-pictures");

    OnvifReach reach;
    std::atomic<std::size_t> next{0}, unread{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < rows.size(); i = next++) {
            if (targets[i].empty()) continue;
            if (planResult.empty()) rows[i].when = NowUtc();
            if (!FillFromCamera(rows[i], targets[i], login, settings, pictures, reach)) ++unread;
        }
    };
    std::vector<std::thread> readers;
    for (std::size_t n = 0; n < std::min(kReadersAtOnce, rows.size()); ++n) readers.emplace_back(work);
    for (std::thread& t : readers) t.join();
    reach.RemoveAll();

    heading.written = NowUtc();
    const std::string html = report::WriteHandoverReport(heading, rows);
    if (file.empty()) PrintResult(html);
    else if (!WriteFileWhole(file, html, why)) return Fail("report", kExitFailed, why, false);
    if (unread > 0) {
        std::fprintf(stderr, "orvanta-cli report: %zu of %zu camera(s) could not be read; the report says why\n",
                     unread.load(), rows.size());
        return kExitPartial;
    }
    return kExitDone;
}

}  // namespace orvanta::cli

#include "core/provision/FirmwarePlan.h"

#include <filesystem>

#include "core/onvif/device/FirmwareImage.h"

namespace orvanta::provision {

bool ResolveFirmwareFiles(Plan& plan, const std::string& planFolder, std::vector<std::string>& problems) {
    bool ok = true;
    for (PlanRow& row : plan.rows) {
        if (!row.onvif.firmwareFile) continue;
        std::filesystem::path path(*row.onvif.firmwareFile);
        if (path.is_relative()) path = std::filesystem::path(planFolder.empty() ? "." : planFolder) / path;
        row.onvif.firmwareFile = path.lexically_normal().string();
        onvif::FirmwareImage image;
        if (const onvif::OnvifResult r = onvif::FirmwareImage::Open(*row.onvif.firmwareFile, image); !r.ok()) {
            problems.push_back(row.where + ": firmware_file: " + r.detail);
            ok = false;
        }
    }
    return ok;
}

FirmwareStep RunFirmwareStep(onvif::OnvifService& service, onvif::OnvifDevice& camera,
                             const onvif::OnvifCredentials& credentials, const OnvifPlan& plan, bool dryRun,
                             onvif::OnvifDeviceState& state, RowResult& result,
                             const std::function<void(const std::string&)>& step) {
    if (!plan.firmwareFile) return FirmwareStep::None;
    const std::string want = plan.firmwareVersion.value_or("");
    if (!want.empty() && state.firmware == want) return FirmwareStep::AlreadyThere;
    const std::string planned = want.empty() ? std::filesystem::path(*plan.firmwareFile).filename().string() : want;
    if (dryRun) {
        result.changes.push_back({"firmware", state.firmware, planned});
        return FirmwareStep::WouldUpgrade;
    }
    int lastTenth = -1;
    onvif::FirmwareProgress::Stage lastStage = onvif::FirmwareProgress::Stage::Uploading;
    const auto progress = [&](const onvif::FirmwareProgress& p) {
        // Told on stage changes and every tenth of the upload: a plan's
        // report is read by people, not redrawn like a bar.
        using Stage = onvif::FirmwareProgress::Stage;
        if (p.stage == Stage::Uploading) {
            const int tenth = p.total ? static_cast<int>(p.sent * 10 / p.total) : 0;
            if (tenth == lastTenth) return;
            lastTenth = tenth;
            if (step) step("uploading firmware " + std::to_string(tenth * 10) + "%");
        } else if (p.stage != lastStage) {
            if (step)
                step(p.stage == Stage::Restarting ? "installing firmware"
                     : p.stage == Stage::Finding  ? "finding again after the firmware"
                                                  : "reading the firmware version");
        }
        lastStage = p.stage;
    };
    onvif::FirmwareReport report;
    const onvif::OnvifResult r =
        service.UpgradeFirmware(camera, credentials, {*plan.firmwareFile, want}, progress, report);
    if (!r.ok()) {
        switch (r.status) {
            case onvif::OnvifStatus::NotAuthorized:
            case onvif::OnvifStatus::NoOnvifUser: result.status = RowStatus::Refused; break;
            case onvif::OnvifStatus::Unreachable:
            case onvif::OnvifStatus::TimedOut:
            case onvif::OnvifStatus::NotFound: result.status = RowStatus::Unreachable; break;
            case onvif::OnvifStatus::Mismatch: result.status = RowStatus::VerifyMismatch; break;
            default: result.status = RowStatus::Failed;
        }
        result.detail = "firmware: " + r.detail;
        // What the camera runs now, when it was found again, is a fact worth the report.
        if (!report.after.empty() && report.after != report.before)
            result.changes.push_back({"firmware", report.before, report.after});
        return FirmwareStep::Failed;
    }
    if (report.skipped) return FirmwareStep::AlreadyThere;
    result.changes.push_back({"firmware", report.before, report.after});
    onvif::ServiceUrl where;
    if (onvif::ParseServiceUrl(report.where, where)) camera.service = where;
    // The rest of the row is compared with the camera as it is now.
    if (const onvif::OnvifResult again = service.Read(camera, credentials, state); !again.ok()) {
        result.status = RowStatus::Failed;
        result.detail = "read after the firmware upgrade: " + again.detail;
        return FirmwareStep::Failed;
    }
    return FirmwareStep::Upgraded;
}

bool ReadFilesBesidePlan(Plan& plan, const std::string& planFolder, std::vector<std::string>& problems) {
    const std::size_t before = problems.size();
    ResolveFirmwareFiles(plan, planFolder, problems);
    std::vector<OnvifPlan*> onvifRows;
    for (PlanRow& row : plan.rows) onvifRows.push_back(&row.onvif);
    ReadUserPasswordFiles(onvifRows, planFolder, problems);
    return problems.size() == before;
}

}  // namespace orvanta::provision

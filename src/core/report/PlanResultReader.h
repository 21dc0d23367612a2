// The result `orvanta-cli provision` printed (JSON, or CSV with --format
// csv), read back as the rows of a handover report: per camera its kind,
// address, MAC, serial, status, what was changed and when.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/report/HandoverReport.h"

namespace orvanta::report {

// False with `why` for text that is no plan result (a plan itself, an
// error object, a table without a status column).
bool ReadPlanResult(std::string_view text, std::vector<ReportCamera>& cameras, std::string& why);

}  // namespace orvanta::report

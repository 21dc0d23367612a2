// Filling a report's rows: from a plan run's results as the provisioner
// returned them, and from a read of the camera as it is now (its picture
// included), the same for the command line and the window.
#pragma once

#include <string>
#include <vector>

#include "core/onvif/OnvifService.h"
#include "core/provision/PlanFile.h"
#include "core/provision/Provisioner.h"
#include "core/report/HandoverReport.h"

namespace orvanta::report {

// One row per plan row, in the plan's order: kind, where the camera is now,
// MAC, serial, status, what was changed and when its work ended.
std::vector<ReportCamera> RowsOfPlanRun(const provision::Plan& plan, const std::vector<provision::RowResult>& results);

// Reads `device` into `row`,
// and with `pictures` its picture into row.jpeg; what cannot be had is said
// in row.note and row.noPicture. False when the camera could not be read
// at all (`failure` says how).
bool ReadIntoReport(onvif::OnvifService& service, const onvif::OnvifDevice& device, const onvif::OnvifCredentials& login,
                    bool pictures, ReportCamera& row, onvif::OnvifResult& failure);

}  // namespace orvanta::report

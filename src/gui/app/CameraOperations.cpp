#include "gui/app/CameraOperations.h"

#include "core/hostnet/TemporaryAddress.h"
#include "gui/app/CWizardDlg.h"

namespace orvanta {

void CameraOperations::EnsureCameraSubnet() {
    if (dlg_.HostNet() == nullptr) return;
    hostnet::EnsureCameraSubnet(dlg_.Settings(), *dlg_.HostNet(), dlg_.Aliases());
}

// The read, save and scan flows are not wired yet: the codes are accepted
// and change nothing.
void CameraOperations::ReadCamera() {}
void CameraOperations::SaveCamera() {}
void CameraOperations::ScanAccessPointsNow() {}

}  // namespace orvanta

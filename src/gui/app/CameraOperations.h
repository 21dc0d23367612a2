// The commands that work on the camera itself rather than showing a page:
// reaching its subnet (17), reading it (18), saving to it (19) and scanning
// its access points on the spot (22). The main window's command handler
// hands these codes here, so the camera flows grow in this class without
// touching the handler.
#pragma once

namespace orvanta {

class CWizardDlg;

class CameraOperations {
public:
    explicit CameraOperations(CWizardDlg& dlg) : dlg_(dlg) {}
    virtual ~CameraOperations() = default;

    // Code 17: give the PC an address in the selected camera's subnet.
    virtual void EnsureCameraSubnet();
    // Code 18: read the selected camera on the worker.
    virtual void ReadCamera();
    // Code 19: save the settings to the camera on the worker.
    virtual void SaveCamera();
    // Code 22: scan the camera's access points now.
    virtual void ScanAccessPointsNow();

protected:
    CWizardDlg& dlg_;
};

}  // namespace orvanta

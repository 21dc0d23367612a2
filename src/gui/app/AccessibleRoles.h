// Roles for assistive tools where Qt's defaults say the wrong thing: the
// wizard's main window is a plain QWidget, which Qt would announce as a
// filler rather than as the window it is, and the IPv4 address control is a
// frame holding four fields.
#pragma once

namespace orvanta {

// Installs the accessibility factory once; later calls do nothing.
void InstallAccessibleRoles();

}  // namespace orvanta

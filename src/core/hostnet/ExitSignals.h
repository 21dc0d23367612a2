// SIGINT, SIGTERM and SIGHUP must not end the wizard before its aliases are
// removed. The handler only records the signal (flag + a byte on a pipe);
// the application then leaves its event loop normally so the main window's
// destruction runs RemoveTemporaryAddresses.
//
// What the application must do: call InstallExitSignals() once at start, and
// either watch ExitSignalFd() (e.g. a QSocketNotifier) or poll
// ExitSignalReceived(), and on it quit the event loop. A second signal of the
// same kind while cleaning up ends the process the default way.
#pragma once

namespace orvanta::hostnet {

// False when the pipe or the handlers could not be set up.
bool InstallExitSignals();

// The read end of the self-pipe; readable once a signal came. -1 before
// InstallExitSignals.
int ExitSignalFd();

// The signal number that asked us to end, or 0.
int ExitSignalReceived();

}  // namespace orvanta::hostnet

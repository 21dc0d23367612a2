#include "core/hostnet/ExitSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace orvanta::hostnet {

namespace {

volatile sig_atomic_t g_signal = 0;
int g_pipe[2] = {-1, -1};

void OnSignal(int sig) {
    const int savedErrno = errno;
    g_signal = sig;
    if (g_pipe[1] >= 0) {
        const char byte = 1;
        ssize_t n = write(g_pipe[1], &byte, 1);  // a full pipe already says it
        (void)n;
    }
    // The next one of the same kind ends the process as usual, so a cleanup
    // that hangs can still be interrupted.
    signal(sig, SIG_DFL);
    errno = savedErrno;
}

}  // namespace

bool InstallExitSignals() {
    if (g_pipe[0] < 0 && pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction sa = {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        if (sigaction(sig, &sa, nullptr) != 0) return false;
    return true;
}

int ExitSignalFd() { return g_pipe[0]; }

int ExitSignalReceived() { return g_signal; }

}  // namespace orvanta::hostnet

// orvanta-netadmin: the only part of Orvanta that holds CAP_NET_ADMIN and
// CAP_NET_RAW (given by setcap at install). It serves one interface, named
// as its only argument, and reads one request per line on stdin, answering
// each with one line on stdout. It ends when stdin closes, or on any signal
// whose default would end it (SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2,
// SIGALRM), and takes the aliases it added with it: the wizard that started
// it ended or was killed, or the system is going down. Only SIGKILL leaves
// them, for the next helper to find (HelperLock).
#include <poll.h>
#include <signal.h>
#include <syslog.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/hostnet/NetadminRequest.h"
#include "netadmin/NetadminService.h"

namespace {

volatile sig_atomic_t endRequested = 0;

void OnEndSignal(int) { endRequested = 1; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strlen(argv[1]) == 0 || std::strlen(argv[1]) >= 16) {
        std::fprintf(stderr, "usage: orvanta-netadmin INTERFACE\n");
        return 2;
    }
    // The wizard removes its aliases through us when it is interrupted, so a
    // Ctrl-C sent to the whole process group must not end us first.
    signal(SIGINT, SIG_IGN);
    signal(SIGPIPE, SIG_IGN);
    // The signals that would end us by default end us as a closed input
    // does, aliases removed (SIGQUIT without its core dump). They are let in
    // only while we wait for input, so a request under way is finished and
    // answered first.
    constexpr int kEndSignals[] = {SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM};
    struct sigaction end = {};
    end.sa_handler = OnEndSignal;
    sigemptyset(&end.sa_mask);
    sigset_t ends, waiting;
    sigemptyset(&ends);
    for (const int sig : kEndSignals) {
        sigaction(sig, &end, nullptr);
        sigaddset(&ends, sig);
    }
    sigprocmask(SIG_BLOCK, &ends, &waiting);
    for (const int sig : kEndSignals) sigdelset(&waiting, sig);

    // Every address added or removed goes to the system log with the
    // caller's user id, so an administrator can tell who changed the card.
    openlog("orvanta-netadmin", LOG_PID, LOG_DAEMON);
    orvanta::netadmin::NetadminService service(argv[1]);
    std::string line;
    bool overlong = false;
    char buf[512];
    while (!endRequested) {
        // Other helpers knock on our mark to see us alive; the knocks are
        // taken off its queue here.
        pollfd p[2] = {{0, POLLIN, 0}, {service.MarkFd(), POLLIN, 0}};
        if (ppoll(p, service.MarkFd() >= 0 ? 2 : 1, nullptr, &waiting) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (p[1].revents & POLLIN) service.DrainProbes();
        if (!(p[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        const ssize_t n = read(0, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buf[i];
            if (c != '\n') {
                // Cap what we hold: an endless line is refused, not buffered.
                if (line.size() <= orvanta::hostnet::kNetadminMaxLine) line.push_back(c);
                else overlong = true;
                continue;
            }
            const std::string answer = overlong ? orvanta::hostnet::NetadminError(
                                                      orvanta::hostnet::AliasStatus::Refused, "request too long")
                                                : service.Handle(line);
            std::printf("%s\n", answer.c_str());
            std::fflush(stdout);
            line.clear();
            overlong = false;
        }
    }
    service.RemoveOwnAliases();
    closelog();
    return 0;
}

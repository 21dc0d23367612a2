// orvanta-netadmin: the only part of Orvanta that holds CAP_NET_ADMIN and
// CAP_NET_RAW (given by setcap at install). It serves one interface, named
// as its only argument, and reads one request per line on stdin, answering
// each with one line on stdout. It ends when stdin closes, or on SIGTERM or
// SIGHUP, and takes the aliases it added with it: the wizard that started
// it ended or was killed, or the system is going down.
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
    // SIGTERM and SIGHUP end us as a closed input does, aliases removed.
    // They are let in only while we wait for input, so a request under way
    // is finished and answered first.
    struct sigaction end = {};
    end.sa_handler = OnEndSignal;
    sigemptyset(&end.sa_mask);
    sigaction(SIGTERM, &end, nullptr);
    sigaction(SIGHUP, &end, nullptr);
    sigset_t ends, waiting;
    sigemptyset(&ends);
    sigaddset(&ends, SIGTERM);
    sigaddset(&ends, SIGHUP);
    sigprocmask(SIG_BLOCK, &ends, &waiting);
    sigdelset(&waiting, SIGTERM);
    sigdelset(&waiting, SIGHUP);

    // Every address added or removed goes to the system log with the
    // caller's user id, so an administrator can tell who changed the card.
    openlog("orvanta-netadmin", LOG_PID, LOG_DAEMON);
    orvanta::netadmin::NetadminService service(argv[1]);
    std::string line;
    bool overlong = false;
    char buf[512];
    while (!endRequested) {
        pollfd p{0, POLLIN, 0};
        if (ppoll(&p, 1, nullptr, &waiting) < 0) {
            if (errno == EINTR) continue;
            break;
        }
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

// orvanta-netadmin: the only part of Orvanta that holds CAP_NET_ADMIN and
// CAP_NET_RAW (given by setcap at install). It serves one interface, named
// as its only argument, and reads one request per line on stdin, answering
// each with one line on stdout. It ends when stdin closes, and takes the
// aliases it added with it: the wizard that started it ended or was killed.
#include <signal.h>
#include <syslog.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/hostnet/NetadminRequest.h"
#include "netadmin/NetadminService.h"

int main(int argc, char** argv) {
    if (argc != 2 || std::strlen(argv[1]) == 0 || std::strlen(argv[1]) >= 16) {
        std::fprintf(stderr, "usage: orvanta-netadmin INTERFACE\n");
        return 2;
    }
    // The wizard removes its aliases through us when it is interrupted, so a
    // Ctrl-C or hang-up sent to the whole process group must not end us
    // first. We end when the wizard closes our stdin (also when it dies).
    signal(SIGINT, SIG_IGN);
    signal(SIGHUP, SIG_IGN);
    signal(SIGTERM, SIG_IGN);
    signal(SIGPIPE, SIG_IGN);

    // Every address added or removed goes to the system log with the
    // caller's user id, so an administrator can tell who changed the card.
    openlog("orvanta-netadmin", LOG_PID, LOG_DAEMON);
    orvanta::netadmin::NetadminService service(argv[1]);
    std::string line;
    int c;
    bool overlong = false;
    while ((c = std::getchar()) != EOF) {
        if (c != '\n') {
            // Cap what we hold: an endless line is refused, not buffered.
            if (line.size() <= orvanta::hostnet::kNetadminMaxLine) line.push_back(char(c));
            else overlong = true;
            continue;
        }
        const std::string answer = overlong ? "err refused request too long" : service.Handle(line);
        std::printf("%s\n", answer.c_str());
        std::fflush(stdout);
        line.clear();
        overlong = false;
    }
    service.RemoveOwnAliases();
    closelog();
    return 0;
}

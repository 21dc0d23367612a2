// orvanta-cli: the wizard's camera operations without a window, for scripts
// and for the tests.
#include <cstdio>
#include <cstring>
#include <string>

#include "CliCommands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const orvanta::cli::Args&);
    const char* usage;
};

const Command kCommands[] = {
    {"discover", orvanta::cli::RunDiscover, "discover [--seconds N] [--format text|csv|json] [--interface NAME]"},
    {"read", orvanta::cli::RunRead, "read HOST[:PORT] [--user U --password P] [--format ini|json]"},
    {"save", orvanta::cli::RunSave, "save HOST[:PORT] --settings FILE [--wps] [--user U --password P]"},
    {"scan-ap", orvanta::cli::RunScanAp, "scan-ap HOST[:PORT] [--user U --password P]"},
    {"wps", orvanta::cli::RunWps, "wps start|status HOST[:PORT] [--user U --password P]"},
    {"server-list", orvanta::cli::RunServerList,
     "server-list --host H [--port P] --id ID --password PW --type device|user"},
    {"free-ip", orvanta::cli::RunFreeIp, "free-ip --start IP --source IP|--interface NAME --mask MASK --mac MAC"},
    {"probe", orvanta::cli::RunProbe, "probe TARGET [--source IP | --interface NAME]"},
};

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: orvanta-cli COMMAND [ARGS]\n\ncommands:\n");
    for (const auto& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("orvanta-cli %s\n", ORVANTA_VERSION);
        return 0;
    }
    for (const auto& c : kCommands) {
        if (name == c.name) return c.run(orvanta::cli::Args(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "orvanta-cli: unknown command '%s'\n", name.c_str());
    PrintUsage(stderr);
    return 2;
}

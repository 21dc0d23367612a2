#include <cstdio>

#include "CliCommands.h"

namespace orvanta::cli {

int RunFreeIp(const Args&) {
    std::fprintf(stderr, "orvanta-cli: not available yet\n");
    return 1;
}

int RunProbe(const Args&) {
    std::fprintf(stderr, "orvanta-cli: not available yet\n");
    return 1;
}

}  // namespace orvanta::cli

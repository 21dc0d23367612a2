#include <cstdio>

#include "CliCommands.h"

namespace orvanta::cli {

int RunServerList(const Args&) {
    std::fprintf(stderr, "orvanta-cli: not available yet\n");
    return 1;
}

}  // namespace orvanta::cli

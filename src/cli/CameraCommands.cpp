#include <cstdio>

#include "CliCommands.h"

namespace orvanta::cli {

int RunRead(const Args&) {
    std::fprintf(stderr, "orvanta-cli: not available yet\n");
    return 1;
}

int RunSave(const Args&) {
    std::fprintf(stderr, "orvanta-cli: not available yet\n");
    return 1;
}

int RunScanAp(const Args&) {
    std::fprintf(stderr, "orvanta-cli: not available yet\n");
    return 1;
}

int RunWps(const Args&) {
    std::fprintf(stderr, "orvanta-cli: not available yet\n");
    return 1;
}

}  // namespace orvanta::cli

#include <chrono>
#include <thread>

#include "CamsimSides.h"

namespace orvanta::camsim {

// Placeholder until this side is written: idles until stopped.
int RunWebServer(const CamsimOptions&, std::atomic<bool>& stop) {
    while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return 0;
}

std::string WebServerUsage() { return ""; }

}  // namespace orvanta::camsim

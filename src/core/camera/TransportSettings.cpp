#include "core/camera/TransportSettings.h"

#include <mutex>

namespace orvanta {

namespace {
std::mutex g_mutex;
TransportSettings g_settings;
}  // namespace

TransportSettings CurrentTransportSettings() {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_settings;
}

void SetTransportSettings(const TransportSettings& settings) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_settings = settings;
}

}  // namespace orvanta

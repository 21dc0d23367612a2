#include "CameraSettings.h"

#include <cstring>
#include <type_traits>

namespace orvanta {

static_assert(std::is_trivially_copyable_v<CameraSettings>,
              "the record is copied byte-wise between the worker and the window");

CameraSettings::CameraSettings() {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    KeepConnecting = 1;
}

}  // namespace orvanta

// Any bytes as a camera's snapshot: the check never reads outside them,
// and a picture it passes starts and ends as a JPEG file and has a size.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/onvif/device/JpegCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    orvanta::onvif::JpegFacts facts;
    std::string why;
    const bool ok = orvanta::onvif::CheckJpeg(bytes, facts, why);
    if (ok && (size < 4 || data[0] != 0xFF || data[1] != 0xD8 || facts.width <= 0 || facts.height <= 0)) __builtin_trap();
    if (!ok && (why.empty() || facts.width != 0 || facts.height != 0)) __builtin_trap();
    return 0;
}

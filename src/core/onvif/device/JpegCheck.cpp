#include "core/onvif/device/JpegCheck.h"

#include <cstdint>

namespace orvanta::onvif {

namespace {

uint8_t At(std::string_view d, std::size_t i) { return static_cast<uint8_t>(d[i]); }

// Start-of-frame markers carry the picture's size; DHT (C4), JPG (C8) and
// DAC (CC) share the range but are not frames.
bool IsFrameHeader(uint8_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

// Markers that stand alone, without a length: TEM and the restart markers.
bool StandsAlone(uint8_t m) { return m == 0x01 || (m >= 0xD0 && m <= 0xD7); }

}  // namespace

bool CheckJpeg(std::string_view d, JpegFacts& out, std::string& why) {
    // Filled in `out` only when the whole picture passes: a caller never
    // takes a size from a file that failed further on.
    out = {};
    JpegFacts facts;
    if (d.size() < 4 || At(d, 0) != 0xFF || At(d, 1) != 0xD8) {
        why = "not a JPEG picture (it does not start with a JPEG start-of-image marker)";
        return false;
    }
    // Some firmware pads the file after its end marker; zeros there are
    // the camera's buffer, not the picture.
    std::size_t end = d.size();
    while (end > 2 && At(d, end - 1) == 0x00) --end;
    if (end < 4 || At(d, end - 2) != 0xFF || At(d, end - 1) != 0xD9) {
        why = "the JPEG picture is cut short (no end-of-image marker)";
        return false;
    }
    std::size_t i = 2;
    bool frame = false;
    for (;;) {
        if (i >= end || At(d, i) != 0xFF) {
            why = "the JPEG picture's headers are damaged";
            return false;
        }
        // Any number of 0xFF fill bytes may stand before a marker.
        while (i < end && At(d, i) == 0xFF) ++i;
        if (i >= end) {
            why = "the JPEG picture's headers are damaged";
            return false;
        }
        const uint8_t marker = At(d, i++);
        if (StandsAlone(marker)) continue;
        if (marker == 0xD9 || marker == 0xD8 || marker == 0x00) {
            why = "the JPEG picture ends or restarts before its image data";
            return false;
        }
        if (i + 2 > end) {
            why = "the JPEG picture's headers are cut short";
            return false;
        }
        const std::size_t length = (std::size_t{At(d, i)} << 8) | At(d, i + 1);
        if (length < 2 || i + length > end) {
            why = "a JPEG header segment runs past the end of the picture";
            return false;
        }
        if (IsFrameHeader(marker)) {
            if (length < 8) {
                why = "the JPEG frame header is too short";
                return false;
            }
            facts.height = (At(d, i + 3) << 8) | At(d, i + 4);
            facts.width = (At(d, i + 5) << 8) | At(d, i + 6);
            frame = true;
        }
        i += length;
        // The scan follows: entropy-coded data up to the end marker,
        // checked above.
        if (marker == 0xDA) break;
    }
    if (!frame || facts.width == 0 || facts.height == 0) {
        why = "the JPEG picture has no frame size before its image data";
        return false;
    }
    out = facts;
    return true;
}

}  // namespace orvanta::onvif

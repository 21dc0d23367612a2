// Whether bytes a camera sent as its snapshot are a JPEG file, before
// anything tries to decode them: a start-of-image marker, well-formed
// marker segments up to the scan, a frame header with a size, and an
// end-of-image marker at the end. Cameras that have no picture to give
// answer the snapshot address with an HTML error page, a login form or a
// half-written frame; those are told apart here, not in a decoder.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::onvif {

struct JpegFacts {
    int width = 0;
    int height = 0;
};

// True with the frame's size; false with `why` in words.
bool CheckJpeg(std::string_view data, JpegFacts& facts, std::string& why);

}  // namespace orvanta::onvif

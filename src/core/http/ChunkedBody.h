// HTTP/1.1 chunked transfer coding: where a chunked body ends and what it
// holds. The camera transport asks it whether a reply is complete (so a
// device that keeps its connection open is not waited on until the time
// limit); the ONVIF client decodes the body with it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvanta {

enum class ChunkedState {
    Complete,    // the last chunk and the trailer section have arrived
    Incomplete,  // more is needed
    Malformed,   // a size line that is not hexadecimal, too large, or data not followed by CRLF
};

struct ChunkedResult {
    ChunkedState state = ChunkedState::Incomplete;
    std::size_t consumed = 0;  // bytes of `encoded` up to the end of the body (when Complete)
};

// Decodes `encoded` (the bytes after the header block) into `data`
// (may be null when only the end is wanted). Chunk extensions and trailer
// fields are read past; a bare LF is taken as a line end.
ChunkedResult DecodeChunked(std::string_view encoded, std::string* data);

}  // namespace orvanta

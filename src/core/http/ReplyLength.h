// Where a camera's reply ends when its header says so. Cameras close the
// connection after a reply, but one that keeps it open would otherwise hold
// the reader until its time limit: a reply that announces its body length
// is complete as soon as that much has arrived.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace orvanta {

// The byte count of the whole reply (status line, header lines, blank line
// and the body its Content-Length announces), known once `received` holds
// the complete header block of a reply that starts with "HTTP/" and carries
// one valid Content-Length. Nothing (nullopt) while the header block is still
// coming, or when it has no Content-Length, a malformed one, or several that
// disagree: such a reply ends when the camera closes the connection.
// A chunked reply (HTTP/1.1 devices) is known once its last chunk and
// trailer have arrived.
std::optional<std::size_t> AnnouncedReplyLength(std::string_view received);

// True while `received` is (the start of) a status line and header block
// that has not ended yet: a reply cut here is certainly incomplete.
bool InsideReplyHeader(std::string_view received);

// True once the body of the reply has begun and what has come so far ends
// at a line end: past the header block of a reply that starts with "HTTP/",
// anywhere in one without a status line (all of it is body). Only then may
// silence end a reply that announced no length; a pause inside the header
// (a camera busy scanning before it writes the body), inside a line, or
// between the chunks of a chunked body is no end.
bool ReplyBodyAtLineEnd(std::string_view received);

}  // namespace orvanta

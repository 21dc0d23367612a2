// One HTTP/1.1 POST whose body is mostly a file (a firmware image of up to
// a few hundred megabytes): the file is sent from its descriptor in slices,
// never held in memory, between an optional head and tail held as text (the
// MIME parts of a multipart body). The server may answer before the body is
// all sent (a refusal, a login challenge): sending stops and the answer is
// read, so a 401 to a large image costs one slice, not the whole image.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/base/Deadline.h"
#include "core/http/HttpReply.h"
#include "core/http/TransportSettings.h"

namespace orvanta {

struct UploadTarget {
    std::string host;
    std::string port = "80";
    std::string path = "/";
    std::string contentType = "application/octet-stream";
    std::string authorization;                                     // an Authorization value, or ""
    std::vector<std::pair<std::string, std::string>> extraHeaders;  // sent as given
};

struct UploadBody {
    std::string head;          // sent before the file
    int fileFd = -1;           // read with pread from offset 0, so a retry sends it again
    std::uint64_t fileSize = 0;
    std::string tail;          // sent after it
    std::uint64_t Size() const { return head.size() + fileSize + tail.size(); }
};

enum class UploadEnd {
    Answered,       // the whole body went out and a reply came
    AnsweredEarly,  // the server replied before taking the whole body (see `reply`)
    NoConnection,   // no connection could be opened
    Cut,            // the connection broke (closed, reset) before the body was all sent, without a reply
    Stalled,        // the server took nothing for the stall limit, or the deadline passed mid-body
    NoReply,        // the whole body went out, but no complete reply came
    FileFailed,     // the file could not be read (shorter than it was, an I/O error)
    Cancelled,      // the caller gave up (a window closing, Cancel pressed)
};

struct UploadOutcome {
    UploadEnd end = UploadEnd::NoConnection;
    std::uint64_t bodySent = 0;   // bytes of the body the kernel took
    HttpReply reply;              // for Answered and AnsweredEarly
    std::string detail;           // the system's reason for the others
};

// Called after every slice the server takes, with the body bytes sent and
// the body's size.
using UploadProgress = std::function<void(std::uint64_t sent, std::uint64_t total)>;

// How long a server may take no byte of the body before the upload counts
// as stalled; and how long it may think after the last byte before its
// reply (a camera checks the image before it answers).
struct UploadLimits {
    int connectMs = 3000;
    int stallMs = 30000;
    int replyMs = 120000;
    // Asked between slices: true ends the upload at once. Empty: never.
    std::function<bool()> cancelled;
};

UploadOutcome PostUpload(const UploadLimits& limits, const Deadline& deadline, const UploadTarget& target,
                         const UploadBody& body, const UploadProgress& progress);

// The request line and header block PostUpload sends (with Content-Length
// the body's whole size and "Connection: close").
std::string UploadRequestHead(const UploadTarget& target, std::uint64_t contentLength);

const char* UploadEndName(UploadEnd end);

}  // namespace orvanta

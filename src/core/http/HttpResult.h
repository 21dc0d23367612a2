// The result of every camera request: a status the caller switches on, and
// the reply length when the status is Ok.
#pragma once

#include <cstddef>
#include <string>

namespace orvanta {

// The order is that of the numbers output has always shown: ConnectFailed
// is -1, TimedOut -9 (see HttpResultNumber).
enum class HttpStatus {
    Ok,             // the reply arrived (or, for a send-only request, the request went out)
    ConnectFailed,  // not resolved, refused, timed out or cancelled
    SendFailed,     // nothing sent (also: request refused as too long)
    NoReply,        // no reply bytes
    NotFound10,     // "HTTP/1.0 404 Not Found"
    NotFound,       // "404 Not Found"
    Failure,        // "402 Failure"
    NoWpaKeyMode,   // network page without "WPAPSKeyM="
    Unauthorized,   // "Unauthorized"
    // The overall limit of the sequence passed, or a reply stopped short of the
    // length its header announced: nothing that arrived is taken as the answer.
    TimedOut,
};

struct HttpResult {
    HttpStatus status = HttpStatus::Ok;
    // Bytes received (sent, for a send-only request); 0 unless Ok.
    std::size_t length = 0;

    constexpr HttpResult() = default;
    // A failure, or Ok with nothing received. Implicit so a failing path
    // returns its status alone.
    constexpr HttpResult(HttpStatus s) : status(s) {}  // NOLINT(google-explicit-constructor)
    static constexpr HttpResult Received(std::size_t n) {
        HttpResult r;
        r.length = n;
        return r;
    }
    constexpr bool Failed() const { return status != HttpStatus::Ok; }
    friend constexpr bool operator==(const HttpResult&, const HttpResult&) = default;
};

// A short English name of a status, for command-line output and logs.
const char* HttpStatusName(HttpStatus status);

// The number command-line output and logs have always shown for a result:
// the length when Ok, a small negative code (-1 to -9) naming a failure.
std::string HttpResultNumber(HttpResult result);

}  // namespace orvanta

// HTTP Digest access authentication (RFC 7616) for cameras that answer a
// SOAP request with 401 and a challenge instead of reading WS-Security:
// MD5 and SHA-256, their -sess forms, qop=auth (or none, RFC 2069 style,
// for old firmware that offers no qop).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

struct DigestChallenge {
    std::string realm;
    std::string nonce;
    std::string opaque;
    std::string algorithm = "MD5";   // as the camera wrote it: MD5, SHA-256, MD5-sess, SHA-256-sess
    bool qopAuth = false;            // "auth" among the offered qop values
    bool stale = false;
    bool userhash = false;
};

// Every Digest challenge in the WWW-Authenticate values given (a camera may
// send several, one per algorithm, or several in one header). Challenges
// with an algorithm we cannot compute are left out.
std::vector<DigestChallenge> ParseDigestChallenges(const std::vector<std::string>& headerValues);

// The one to answer: SHA-256 before MD5, then the camera's order.
std::optional<DigestChallenge> StrongestChallenge(const std::vector<DigestChallenge>& challenges);

// The Authorization header's value for one request. `cnonce` and `nc` are
// the caller's (fresh cnonce per challenge, nc counting requests on it).
std::string DigestAuthorization(const DigestChallenge& challenge, std::string_view user, std::string_view password,
                                std::string_view method, std::string_view uri, std::string_view cnonce,
                                unsigned nc);

}  // namespace orvanta

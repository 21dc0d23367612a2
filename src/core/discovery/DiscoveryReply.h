// The camera's answer to a search request: an 8-byte header (magic, type 2)
// and a payload of 276 bytes. `Accept` applies the receiving rules;
// `Encode` builds a reply, for the simulated camera and for tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/discovery/DiscoveryProtocol.h"

namespace orvanta::discovery {

using ReplyPayload = std::array<uint8_t, kPayloadSize>;

enum class ReplyVerdict {
    Accepted,
    TooShort,      // fewer bytes than the header
    UnknownMagic,  // "Unknown magic number ! (%d)"
    NotReply,      // "Is not reply message ! (%d)"
    Truncated,     // "Reply message too short ! (%d)": less than the whole layout
};

// What a camera puts into its reply, in host terms.
struct DiscoveryReplyFields {
    uint32_t magic = kPrimaryMagic;
    uint8_t mac[6] = {};
    uint32_t ipNetOrder = 0;  // IPv4 address, network byte order
    uint32_t port = 0;
    std::string description;
    std::string serial;
    std::string interfaceText;
    std::string fourth;
    std::string mask;
    uint32_t sport = 0;
};

struct DiscoveryReply {
    // Checks one received datagram. A reply must carry the whole 284-byte
    // layout: a shorter one would be listed as a camera at 0.0.0.0 with MAC
    // 00:00:00:00:00:00. On Accepted, `payload` holds bytes 8 to 283 of the
    // datagram; otherwise it is all zero. The
    // rejection lines go to the diagnostic sink unless `report` is false. Datagrams
    // longer than 284 bytes are the receiver's business; here the extra bytes
    // are ignored so the check can never overrun the payload.
    static ReplyVerdict Accept(const uint8_t* data, std::size_t length, ReplyPayload& payload,
                               bool report = true);

    // Builds a full 284-byte reply. The five texts are laid back to back in
    // the 256-byte text area; whatever does not fit is cut, the last byte of
    // the area staying a terminator whenever a text reaches it.
    static std::vector<uint8_t> Encode(const DiscoveryReplyFields& fields);
};

}  // namespace orvanta::discovery

// The line protocol between the wizard and the privileged helper
// orvanta-netadmin. One request per line, one answer line each:
//
//   add IF A.B.C.D/P [CAMERA] -> ok | err KIND TEXT
//   del IF A.B.C.D/P          -> ok | err KIND TEXT
//   probe IF A.B.C.D MS       -> free | dup MAC | err KIND TEXT
//   arp IF TARGET SOURCE MS   -> mac MAC | noanswer | err KIND TEXT
//
// KIND is one of eperm (TEXT starts with the missing capability), nodev,
// exists, notfound, dup (add only: another device answered the helper's own
// probe for the address), refused, other. TEXT is one line saying why. The
// format is fixed and checked strictly because the helper runs with
// capabilities the caller does not have.
//
// An added address must be private (RFC 1918) or link-local, and its subnet
// must lie inside that block with a prefix from /8 to /30: whoever calls the
// helper, the PC never routes a public range, or more than one private block,
// past its gateway. CAMERA, when given, is the host in that subnet the
// address is for: where anything already routes the subnet (the default
// route included), the helper routes only to the camera. An add of an
// address the same helper added already, naming another CAMERA, routes that
// camera through it as well.
//
// Every word of the protocol is spelled once, here: the helper writes and
// the client reads through the same tables.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/hostnet/HostNetwork.h"

namespace orvanta::hostnet {

enum class NetadminVerb { Add, Del, Probe, Arp };

struct NetadminRequest {
    NetadminVerb verb = NetadminVerb::Add;
    std::string ifname;
    uint32_t address = 0;  // add/del/probe: the address; arp: the target
    int prefix = 32;       // add/del
    uint32_t camera = 0;   // add: the host the address is for, 0 when not named
    uint32_t source = 0;   // arp
    int waitMs = 0;        // probe/arp
};

constexpr std::size_t kNetadminMaxLine = 128;
constexpr int kNetadminMaxWaitMs = 5000;
constexpr int kAliasMinPrefix = 8;
constexpr int kAliasMaxPrefix = 30;

// The prefix of the private (10/8, 172.16/12, 192.168/16) or link-local
// (169.254/16) block holding `address`, or -1 when it lies in none.
int PrivateBlockPrefix(uint32_t address);

// Empty when address/prefix may be added as an alias, else why not (one
// line). The helper and the wizard apply the same rule.
std::string AliasRefusal(uint32_t address, int prefix);

// `camera` may ride along an add of address/prefix: another host of the
// address's subnet.
bool CameraFitsAlias(uint32_t address, int prefix, uint32_t camera);

// Parses one line (without its newline) and checks it is for `allowedIf`.
// On refusal returns false with the reason in *why.
bool ParseNetadminRequest(std::string_view line, std::string_view allowedIf, NetadminRequest& req,
                          std::string* why);

std::string FormatNetadminRequest(const NetadminRequest& req);

// One answer line, typed.
enum class NetadminReplyKind {
    Ok,        // ok
    Free,      // free: nobody answered the probe
    InUse,     // dup MAC: a device answered the probe
    Mac,       // mac MAC: the answer to an arp request
    NoAnswer,  // noanswer
    Error,     // err KIND TEXT
    Garbled,   // a line that is none of these (read side only)
};

struct NetadminReply {
    NetadminReplyKind kind = NetadminReplyKind::Garbled;
    std::array<uint8_t, 6> mac{};               // InUse, Mac
    AliasStatus failure = AliasStatus::Other;  // Error
    std::string text;                          // Error: one line why
};

std::string FormatNetadminReply(const NetadminReply& reply);
NetadminReply ParseNetadminReply(std::string_view line);

// The error answer in one call, as the helper writes it.
inline std::string NetadminError(AliasStatus failure, std::string text) {
    NetadminReply reply;
    reply.kind = NetadminReplyKind::Error;
    reply.failure = failure;
    reply.text = std::move(text);
    return FormatNetadminReply(reply);
}

}  // namespace orvanta::hostnet

// The line protocol between the wizard and the privileged helper
// orvanta-netadmin. One request per line, one answer line each:
//
//   add IF A.B.C.D/P          -> ok | err KIND TEXT
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
// past its gateway.
#pragma once

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

// Parses one line (without its newline) and checks it is for `allowedIf`.
// On refusal returns false with the reason in *why.
bool ParseNetadminRequest(std::string_view line, std::string_view allowedIf, NetadminRequest& req,
                          std::string* why);

std::string FormatNetadminRequest(const NetadminRequest& req);

// "err KIND TEXT" -> status; kinds the helper does not send map to Other.
AliasStatus NetadminErrorKind(std::string_view kind);
const char* NetadminKindName(AliasStatus status);

}  // namespace orvanta::hostnet

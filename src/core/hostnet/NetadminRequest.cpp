#include "core/hostnet/NetadminRequest.h"

#include <vector>

#include "core/base/AddressText.h"

namespace orvanta::hostnet {

namespace {

// Exactly one space between words, nothing leading or trailing.
bool SplitWords(std::string_view line, std::vector<std::string_view>& words) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = line.find(' ', start);
        const std::string_view word = line.substr(start, space == std::string_view::npos ? line.npos : space - start);
        if (word.empty()) return false;
        words.push_back(word);
        if (space == std::string_view::npos) return true;
        start = space + 1;
    }
}

bool ParseNumber(std::string_view text, int low, int high, int& value) {
    if (text.empty() || text.size() > 5) return false;
    if (text.size() > 1 && text[0] == '0') return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high;
}

bool Refuse(std::string* why, const char* reason) {
    if (why) *why = reason;
    return false;
}

// Addresses an alias must never take: unspecified, loopback, multicast and
// the limited broadcast.
bool UsableUnicast(uint32_t address) {
    const uint8_t* b = reinterpret_cast<const uint8_t*>(&address);
    return address != 0 && b[0] != 127 && b[0] < 224;
}

bool InBlock(uint32_t address, const char* network, int prefix) {
    uint32_t base = 0;
    ParseIpv4(network, base);
    return (address & PrefixMask(prefix)) == base;
}

struct VerbWord {
    NetadminVerb verb;
    std::string_view word;
};
constexpr VerbWord kVerbWords[] = {
    {NetadminVerb::Add, "add"}, {NetadminVerb::Del, "del"}, {NetadminVerb::Probe, "probe"}, {NetadminVerb::Arp, "arp"}};

struct KindWord {
    AliasStatus status;
    std::string_view word;
};
// The error kinds; anything else a helper might send reads as Other.
constexpr KindWord kKindWords[] = {
    {AliasStatus::PermissionDenied, "eperm"}, {AliasStatus::NoSuchInterface, "nodev"},
    {AliasStatus::Exists, "exists"},          {AliasStatus::NotFound, "notfound"},
    {AliasStatus::Refused, "refused"},        {AliasStatus::Duplicate, "dup"},
    {AliasStatus::Other, "other"}};

struct ReplyWord {
    NetadminReplyKind kind;
    std::string_view word;
};
constexpr ReplyWord kReplyWords[] = {
    {NetadminReplyKind::Ok, "ok"},          {NetadminReplyKind::Free, "free"},
    {NetadminReplyKind::InUse, "dup"},      {NetadminReplyKind::Mac, "mac"},
    {NetadminReplyKind::NoAnswer, "noanswer"}, {NetadminReplyKind::Error, "err"}};

std::string_view WordOf(NetadminVerb verb) {
    for (const auto& v : kVerbWords)
        if (v.verb == verb) return v.word;
    return {};
}

std::string_view WordOf(NetadminReplyKind kind) {
    for (const auto& r : kReplyWords)
        if (r.kind == kind) return r.word;
    return {};
}

std::string_view WordOf(AliasStatus status) {
    for (const auto& k : kKindWords)
        if (k.status == status) return k.word;
    return "other";
}

bool HasMac(NetadminReplyKind kind) { return kind == NetadminReplyKind::InUse || kind == NetadminReplyKind::Mac; }

}  // namespace

int PrivateBlockPrefix(uint32_t address) {
    if (InBlock(address, "10.0.0.0", 8)) return 8;
    if (InBlock(address, "172.16.0.0", 12)) return 12;
    if (InBlock(address, "192.168.0.0", 16)) return 16;
    if (InBlock(address, "169.254.0.0", 16)) return 16;
    return -1;
}

std::string AliasRefusal(uint32_t address, int prefix) {
    const std::string cidr = FormatIpv4(address) + "/" + std::to_string(prefix);
    const int block = PrivateBlockPrefix(address);
    if (block < 0) return cidr + " is not a private or link-local address";
    if (prefix < kAliasMinPrefix || prefix > kAliasMaxPrefix)
        return cidr + ": the prefix must be from /" + std::to_string(kAliasMinPrefix) + " to /" +
               std::to_string(kAliasMaxPrefix);
    if (prefix < block) return cidr + " reaches beyond its private block";
    // The subnet's own number and its broadcast belong to every host on it.
    const uint32_t host = address & ~PrefixMask(prefix);
    if (host == 0 || host == ~PrefixMask(prefix)) return cidr + " is not a host address of its subnet";
    return {};
}

bool CameraFitsAlias(uint32_t address, int prefix, uint32_t camera) {
    const uint32_t mask = PrefixMask(prefix);
    const uint32_t host = camera & ~mask;
    return (camera & mask) == (address & mask) && host != 0 && host != ~mask && camera != address;
}

bool ParseNetadminRequest(std::string_view line, std::string_view allowedIf, NetadminRequest& req,
                          std::string* why) {
    if (line.size() > kNetadminMaxLine) return Refuse(why, "request too long");
    for (char c : line)
        if (c < 0x21 && c != ' ') return Refuse(why, "control character in request");
    std::vector<std::string_view> w;
    if (!SplitWords(line, w) || w.size() < 3) return Refuse(why, "malformed request");
    if (w[1] != allowedIf) return Refuse(why, "interface not the one this helper serves");
    req = NetadminRequest{};
    req.ifname = std::string(w[1]);
    bool known = false;
    for (const auto& v : kVerbWords)
        if (w[0] == v.word) {
            req.verb = v.verb;
            known = true;
        }
    if (!known) return Refuse(why, "unknown request");
    switch (req.verb) {
        case NetadminVerb::Add:
        case NetadminVerb::Del: {
            const bool add = req.verb == NetadminVerb::Add;
            if (w.size() != 3 && !(add && w.size() == 4)) return Refuse(why, "malformed request");
            const auto slash = w[2].find('/');
            if (slash == std::string_view::npos) return Refuse(why, "address needs a /prefix");
            if (!ParseIpv4(w[2].substr(0, slash), req.address)) return Refuse(why, "not an IPv4 address");
            if (!ParseNumber(w[2].substr(slash + 1), 1, 32, req.prefix)) return Refuse(why, "bad prefix length");
            if (!UsableUnicast(req.address)) return Refuse(why, "not a unicast address");
            if (!add) return true;
            if (const std::string refusal = AliasRefusal(req.address, req.prefix); !refusal.empty()) {
                if (why) *why = refusal;
                return false;
            }
            if (w.size() == 3) return true;
            if (!ParseIpv4(w[3], req.camera)) return Refuse(why, "not an IPv4 address");
            // Else the helper would route somewhere the address has no part in.
            if (!CameraFitsAlias(req.address, req.prefix, req.camera))
                return Refuse(why, "the camera is not another host of the address's subnet");
            return true;
        }
        case NetadminVerb::Probe:
            if (w.size() != 4) return Refuse(why, "malformed request");
            if (!ParseIpv4(w[2], req.address)) return Refuse(why, "not an IPv4 address");
            if (!UsableUnicast(req.address)) return Refuse(why, "not a unicast address");
            if (!ParseNumber(w[3], 1, kNetadminMaxWaitMs, req.waitMs)) return Refuse(why, "bad wait");
            return true;
        case NetadminVerb::Arp:
            if (w.size() != 5) return Refuse(why, "malformed request");
            if (!ParseIpv4(w[2], req.address) || !ParseIpv4(w[3], req.source)) return Refuse(why, "not an IPv4 address");
            if (!UsableUnicast(req.address) || !UsableUnicast(req.source)) return Refuse(why, "not a unicast address");
            if (!ParseNumber(w[4], 1, kNetadminMaxWaitMs, req.waitMs)) return Refuse(why, "bad wait");
            return true;
    }
    return Refuse(why, "unknown request");
}

std::string FormatNetadminRequest(const NetadminRequest& req) {
    std::string line = std::string(WordOf(req.verb)) + " " + req.ifname + " " + FormatIpv4(req.address);
    switch (req.verb) {
        case NetadminVerb::Add:
        case NetadminVerb::Del:
            line += "/" + std::to_string(req.prefix);
            if (req.verb == NetadminVerb::Add && req.camera != 0) line += " " + FormatIpv4(req.camera);
            return line;
        case NetadminVerb::Probe: return line + " " + std::to_string(req.waitMs);
        case NetadminVerb::Arp: return line + " " + FormatIpv4(req.source) + " " + std::to_string(req.waitMs);
    }
    return line;
}

std::string FormatNetadminReply(const NetadminReply& reply) {
    std::string line(WordOf(reply.kind));
    if (HasMac(reply.kind)) line += " " + FormatMac(reply.mac);
    if (reply.kind == NetadminReplyKind::Error) {
        line += " " + std::string(WordOf(reply.failure)) + " " + reply.text;
        // One answer is one line, whatever the kernel's text held.
        for (char& c : line)
            if (c == '\n' || c == '\r') c = ' ';
    }
    return line;
}

NetadminReply ParseNetadminReply(std::string_view line) {
    NetadminReply reply;
    const auto space = line.find(' ');
    const std::string_view word = line.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    for (const auto& r : kReplyWords) {
        if (word != r.word) continue;
        if (r.kind == NetadminReplyKind::Error) {
            const auto gap = rest.find(' ');
            const std::string_view kind = rest.substr(0, gap);
            reply.failure = AliasStatus::Other;
            for (const auto& k : kKindWords)
                if (kind == k.word) reply.failure = k.status;
            reply.text = gap == std::string_view::npos ? std::string() : std::string(rest.substr(gap + 1));
            reply.kind = r.kind;
        } else if (HasMac(r.kind)) {
            if (ParseMac(rest, reply.mac)) reply.kind = r.kind;
        } else if (space == std::string_view::npos) {
            reply.kind = r.kind;
        }
        return reply;
    }
    return reply;
}

}  // namespace orvanta::hostnet

#include "core/hostnet/NetadminRequest.h"

#include <vector>

#include "core/text/AddressText.h"

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
    if (w[0] == "add" || w[0] == "del") {
        if (w.size() != 3) return Refuse(why, "malformed request");
        req.verb = w[0] == "add" ? NetadminVerb::Add : NetadminVerb::Del;
        const auto slash = w[2].find('/');
        if (slash == std::string_view::npos) return Refuse(why, "address needs a /prefix");
        if (!ParseIpv4(w[2].substr(0, slash), req.address)) return Refuse(why, "not an IPv4 address");
        if (!ParseNumber(w[2].substr(slash + 1), 1, 32, req.prefix)) return Refuse(why, "bad prefix length");
        if (!UsableUnicast(req.address)) return Refuse(why, "not a unicast address");
        if (req.verb == NetadminVerb::Add) {
            if (const std::string refusal = AliasRefusal(req.address, req.prefix); !refusal.empty()) {
                if (why) *why = refusal;
                return false;
            }
        }
        return true;
    }
    if (w[0] == "probe") {
        if (w.size() != 4) return Refuse(why, "malformed request");
        req.verb = NetadminVerb::Probe;
        if (!ParseIpv4(w[2], req.address)) return Refuse(why, "not an IPv4 address");
        if (!UsableUnicast(req.address)) return Refuse(why, "not a unicast address");
        if (!ParseNumber(w[3], 1, kNetadminMaxWaitMs, req.waitMs)) return Refuse(why, "bad wait");
        return true;
    }
    if (w[0] == "arp") {
        if (w.size() != 5) return Refuse(why, "malformed request");
        req.verb = NetadminVerb::Arp;
        if (!ParseIpv4(w[2], req.address) || !ParseIpv4(w[3], req.source)) return Refuse(why, "not an IPv4 address");
        if (!UsableUnicast(req.address) || !UsableUnicast(req.source)) return Refuse(why, "not a unicast address");
        if (!ParseNumber(w[4], 1, kNetadminMaxWaitMs, req.waitMs)) return Refuse(why, "bad wait");
        return true;
    }
    return Refuse(why, "unknown request");
}

std::string FormatNetadminRequest(const NetadminRequest& req) {
    switch (req.verb) {
        case NetadminVerb::Add:
        case NetadminVerb::Del:
            return std::string(req.verb == NetadminVerb::Add ? "add " : "del ") + req.ifname + " " +
                   FormatIpv4(req.address) + "/" + std::to_string(req.prefix);
        case NetadminVerb::Probe:
            return "probe " + req.ifname + " " + FormatIpv4(req.address) + " " + std::to_string(req.waitMs);
        case NetadminVerb::Arp:
            return "arp " + req.ifname + " " + FormatIpv4(req.address) + " " + FormatIpv4(req.source) + " " +
                   std::to_string(req.waitMs);
    }
    return {};
}

AliasStatus NetadminErrorKind(std::string_view kind) {
    if (kind == "eperm") return AliasStatus::PermissionDenied;
    if (kind == "nodev") return AliasStatus::NoSuchInterface;
    if (kind == "exists") return AliasStatus::Exists;
    if (kind == "notfound") return AliasStatus::NotFound;
    if (kind == "refused") return AliasStatus::Refused;
    if (kind == "dup") return AliasStatus::Duplicate;
    return AliasStatus::Other;
}

const char* NetadminKindName(AliasStatus status) {
    switch (status) {
        case AliasStatus::PermissionDenied: return "eperm";
        case AliasStatus::NoSuchInterface: return "nodev";
        case AliasStatus::Exists: return "exists";
        case AliasStatus::NotFound: return "notfound";
        case AliasStatus::Refused: return "refused";
        case AliasStatus::Duplicate: return "dup";
        default: return "other";
    }
}

}  // namespace orvanta::hostnet

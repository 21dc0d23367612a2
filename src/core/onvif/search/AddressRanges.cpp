#include "core/onvif/search/AddressRanges.h"

#include <algorithm>
#include <charconv>
#include <set>

#include "core/base/AddressText.h"

namespace orvanta::onvif {

namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Why no probe may go to any address of [first, last], or "".
std::string ForbiddenBlock(uint32_t first, uint32_t last) {
    const struct {
        uint32_t network;
        int prefix;
        const char* what;
    } blocks[] = {
        {0x00000000, 8, "\"this network\" (0.0.0.0/8)"},
        {0x7f000000, 8, "the loopback network"},
        {0xe0000000, 4, "multicast"},
        {0xf0000000, 4, "reserved or broadcast (240.0.0.0/4)"},
    };
    for (const auto& b : blocks) {
        const uint32_t bFirst = b.network, bLast = b.network | ~Ipv4HostOrder(PrefixMask(b.prefix));
        if (first <= bLast && last >= bFirst) return b.what;
    }
    return {};
}

bool ReadRange(std::string_view text, AddressRange& out, std::string& why) {
    const std::string_view addressText = text.substr(0, text.find('/'));
    uint32_t address = 0;
    if (!ParseIpv4HostOrder(addressText, address)) {
        why = "'" + std::string(text) + "' is not an IPv4 address or range (A.B.C.D/P)";
        return false;
    }
    int prefix = 32;
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        const std::string_view p = text.substr(slash + 1);
        const auto [end, ec] = std::from_chars(p.data(), p.data() + p.size(), prefix);
        if (p.empty() || p.size() > 2 || ec != std::errc() || end != p.data() + p.size() || prefix < 0 ||
            prefix > 32) {
            why = "'" + std::string(text) + "': the prefix length must be 0 to 32";
            return false;
        }
    }
    const uint32_t mask = Ipv4HostOrder(PrefixMask(prefix));
    out.first = address & mask;
    out.last = out.first | ~mask;
    out.prefix = prefix;
    out.text = std::string(text);
    return true;
}

}  // namespace

std::optional<std::vector<AddressRange>> ParseAddressRanges(std::string_view text, std::string& why) {
    std::vector<AddressRange> ranges;
    uint64_t total = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        const std::string_view item = Trim(text.substr(from, comma == std::string_view::npos ? comma : comma - from));
        if (item.empty()) {
            why = "an empty range in '" + std::string(text) + "'";
            return std::nullopt;
        }
        AddressRange r;
        if (!ReadRange(item, r, why)) return std::nullopt;
        total += uint64_t{r.last} - r.first + 1;
        if (total > kMaxRangeAddresses) {
            why = "'" + r.text + "' brings the search to " + std::to_string(total) + " addresses; at most " +
                  std::to_string(kMaxRangeAddresses) + " are searched in one go";
            return std::nullopt;
        }
        if (const std::string block = ForbiddenBlock(r.first, r.last); !block.empty()) {
            why = "'" + r.text + "' lies in " + block + ": no camera is searched there";
            return std::nullopt;
        }
        ranges.push_back(std::move(r));
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
    return ranges;
}

std::vector<uint32_t> AddressesToSurvey(const std::vector<AddressRange>& ranges,
                                        const std::vector<hostnet::Adapter>& adapters,
                                        const std::vector<uint32_t>& routers, std::size_t* skipped) {
    std::set<uint32_t> leaveOut(routers.begin(), routers.end());
    for (const hostnet::Adapter& a : adapters) {
        for (const hostnet::AdapterAddress& own : a.addresses) {
            const uint32_t address = Ipv4HostOrder(own.address), mask = Ipv4HostOrder(own.mask);
            leaveOut.insert(address);
            // The subnet's broadcast: a probe there reaches every camera on
            // it at once, and they all answer to one address.
            if (MaskPrefix(own.mask) <= 30) leaveOut.insert(address | ~mask);
        }
        for (const uint32_t gateway : a.gateways) leaveOut.insert(Ipv4HostOrder(gateway));
    }
    std::vector<uint32_t> out;
    std::set<uint32_t> seen;
    std::size_t left = 0;
    for (const AddressRange& r : ranges) {
        for (uint64_t a = r.first; a <= r.last; ++a) {
            const auto address = static_cast<uint32_t>(a);
            // A range's own network and broadcast addresses are no host's.
            if (r.prefix <= 30 && (address == r.first || address == r.last)) continue;
            if (!seen.insert(address).second) continue;
            if (leaveOut.count(address)) {
                ++left;
                continue;
            }
            out.push_back(address);
        }
    }
    if (skipped) *skipped = left;
    return out;
}

}  // namespace orvanta::onvif

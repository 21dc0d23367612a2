// Fuzzes the request check of the privileged helper: any bytes must be
// judged without a fault, and an accepted request must format back to the
// very line that was accepted (so nothing unchecked rides along), with only
// the one interface, a unicast IPv4 value and a bounded wait in it; an
// accepted add stays a host address inside one private or link-local block,
// and a camera named with it is another host of its subnet. The answer
// reader gets the same bytes: whatever it reads as an answer other than an
// error writes back as the same line (hex digits of a MAC in either case).
#include <arpa/inet.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/hostnet/NetadminRequest.h"

using namespace orvanta::hostnet;

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const NetadminReply reply = ParseNetadminReply(line);
    if (reply.kind != NetadminReplyKind::Garbled && reply.kind != NetadminReplyKind::Error &&
        !SameIgnoringCase(FormatNetadminReply(reply), line))
        std::abort();
    NetadminRequest req;
    std::string why;
    if (!ParseNetadminRequest(line, "eth0", req, &why)) {
        if (why.empty()) std::abort();  // every refusal says why
        return 0;
    }
    if (req.ifname != "eth0") std::abort();
    if (FormatNetadminRequest(req) != line) std::abort();
    if (req.address == 0) std::abort();
    if ((req.verb == NetadminVerb::Probe || req.verb == NetadminVerb::Arp) &&
        (req.waitMs < 1 || req.waitMs > kNetadminMaxWaitMs))
        std::abort();
    if (req.verb == NetadminVerb::Add) {
        // Worked out here without the helper's own code.
        const std::uint32_t a = ntohl(req.address);
        const int block = (a >> 24) == 10 ? 8 : (a >> 20) == 0xAC1 ? 12 : (a >> 16) == 0xC0A8 || (a >> 16) == 0xA9FE ? 16 : -1;
        if (block < 0 || req.prefix < 8 || req.prefix > 30 || req.prefix < block) std::abort();
        const std::uint32_t host = a & (0xFFFFFFFFu >> req.prefix);
        if (host == 0 || host == (0xFFFFFFFFu >> req.prefix)) std::abort();
        if (req.camera != 0) {
            const std::uint32_t c = ntohl(req.camera);
            const std::uint32_t hostMask = 0xFFFFFFFFu >> req.prefix;
            if ((c & ~hostMask) != (a & ~hostMask) || (c & hostMask) == 0 || (c & hostMask) == hostMask || c == a)
                std::abort();
        }
    } else if (req.camera != 0) {
        std::abort();
    }
    return 0;
}

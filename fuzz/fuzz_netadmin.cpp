// Fuzzes the request check of the privileged helper: any bytes must be
// judged without a fault, and an accepted request must format back to the
// very line that was accepted (so nothing unchecked rides along), with only
// the one interface, a unicast IPv4 value and a bounded wait in it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/hostnet/NetadminRequest.h"

using namespace orvanta::hostnet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
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
    return 0;
}

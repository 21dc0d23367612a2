#include "core/hostnet/linux/AliasMark.h"

#include <sys/utsname.h>

#include "core/base/AddressText.h"

namespace orvanta::hostnet {

std::string AliasMarkProblem(const std::vector<AddressRecord>& readBack, uint32_t index, uint32_t address,
                             int prefix, uint32_t owner, const std::string& kernelRelease) {
    const std::string cidr = FormatIpv4(address) + "/" + std::to_string(prefix);
    for (const auto& a : readBack) {
        if (a.index != index || a.address != address || a.prefix != prefix) continue;
        if (a.protocol == kAliasProtocol && a.priority == owner) return {};
        return "this kernel (Linux " + kernelRelease + ") dropped the mark that tells " + cidr +
               " from the PC's own addresses; orvanta-netadmin needs Linux " + kAliasMarkKernel + " or later";
    }
    return cidr + " was gone as soon as it was added";
}

std::string KernelRelease() {
    utsname u;
    if (uname(&u) != 0) return "unknown";
    return u.release;
}

}  // namespace orvanta::hostnet

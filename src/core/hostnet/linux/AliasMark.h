// The helper knows its addresses from the PC's real ones only by the marks
// the kernel keeps on them: the protocol mark (IFA_PROTO, Linux 5.18 and
// later) and the owner in the route priority (IFA_RT_PRIORITY). Older
// kernels accept both and silently drop them, and then the limit on
// addresses, who may remove one and the clean-up after a killed helper all
// stop working without a word. So every add is read back and judged here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/hostnet/linux/NetlinkInventory.h"

namespace orvanta::hostnet {

// The oldest kernel that keeps the protocol mark on an address.
constexpr const char* kAliasMarkKernel = "5.18";

// Empty when `readBack` (the card's addresses listed right after the add)
// shows address/prefix on card `index` carrying our mark and `owner`; else
// one line why, naming `kernelRelease` (uname's) and the kernel needed.
std::string AliasMarkProblem(const std::vector<AddressRecord>& readBack, uint32_t index, uint32_t address,
                             int prefix, uint32_t owner, const std::string& kernelRelease);

// The running kernel's release ("6.1.0-18-amd64"), or "unknown".
std::string KernelRelease();

}  // namespace orvanta::hostnet

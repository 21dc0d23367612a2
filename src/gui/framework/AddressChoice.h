// What every page that gives a camera an address does the same way: the
// classful mask a typed address suggests, and "Test this IP" (an ARP probe
// from the PC's address; the camera's own answer is no conflict).
#pragma once

#include <cstdint>
#include <optional>

namespace orvanta {

struct WizardContext;

// The mask of a class B or class C address (host order); none for others.
std::optional<uint32_t> ClassfulMask(uint32_t hostOrderAddress);

// True when another device answers for `target` (network order). `camera`
// is the camera's present address, which answers for itself; `source` the
// PC's address the probe goes out from (0: the wizard's adapter's).
bool AddressTakenByAnother(const WizardContext& context, uint32_t target, uint32_t camera, uint32_t source = 0);

}  // namespace orvanta

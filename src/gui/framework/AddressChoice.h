// What every page that gives a camera an address does the same way: the
// classful mask a typed address suggests, and "Test this IP" (an ARP probe
// from the PC's address; the camera's own answer is no conflict).
#pragma once

#include <optional>

#include "core/base/Ipv4Address.h"

namespace orvanta {

struct WizardContext;

// The mask of a class B or class C address; none for others.
std::optional<Ipv4Address> ClassfulMask(Ipv4Address address);

// True when another device answers for `target`. `camera` is the camera's
// present address, which answers for itself; `source` the PC's address the
// probe goes out from (unspecified: the wizard's adapter's).
bool AddressTakenByAnother(const WizardContext& context, Ipv4Address target, Ipv4Address camera,
                           Ipv4Address source = {});

}  // namespace orvanta

// Giving the PC a temporary address in a camera's subnet, and taking every
// such address away again.
#pragma once

#include <cstdint>
#include <string>

#include "core/hostnet/AddedAddresses.h"
#include "core/hostnet/HostNetwork.h"
#include "core/settings/CameraSettings.h"

namespace orvanta::hostnet {

struct AliasTiming {
    // Three settling waits of one second after each add, during which the
    // duplicate-address check watches for another owner.
    int settleWaits = 3;
    int settleWaitMs = 1000;
};

// The mask of the PC's temporary address for a camera at camAddr/camMask.
// The mask comes from the camera's reply, so it is never taken wider than
// the private block holding the camera (10/8, 172.16/12, 192.168/16,
// 169.254/16): a camera saying 192.0.0.0 must not make the PC route a
// quarter of the Internet past its gateway. Narrowing rather than refusing
// keeps such a camera reachable: the PC's address still lies inside the
// camera's own (wider) subnet, so the camera answers it directly. A camera
// outside every private block keeps its mask here, and the add is refused
// with a diagnostic line naming the address (no route to a public range is
// ever made for a camera).
uint32_t AliasMask(uint32_t camAddr, uint32_t camMask);

// Makes sure the PC has an address in the subnet of CamAddr/CamMask on the
// adapter HostIfIndex; adds one with AddTemporaryAddress when it has not.
// Returns true when the PC has (or now has) such an address. The subnet is
// the camera's, narrowed by AliasMask. A camera inside a subnet of an
// address the card holds needs none, whatever its mask; when that address
// is one in `added`, the helper is asked to route this camera through it. A subnet that overlaps a network of
// another card (TemporaryAddressConflict) is not asked for at all: false,
// with the one line why as a diagnostic and in *why.
bool EnsureCameraSubnet(const CameraSettings& settings, HostNetwork& net, AddedAddresses& added,
                        const AliasTiming& timing = {}, std::string* why = nullptr);

// Tries candidate, then the addresses below the subnet's top host address,
// until one is added and no other device claims it. Returns the last address
// tried; `added` gains the alias on success. *ok (when given) says whether an
// alias is on the adapter now. `camera` is the host the alias is for.
uint32_t AddTemporaryAddress(uint32_t candidate, uint32_t mask, uint32_t ifIndex, HostNetwork& net,
                             AddedAddresses& added, const AliasTiming& timing = {}, bool* ok = nullptr,
                             uint32_t camera = 0);

// Deletes every alias in `added`, from the first; failures are ignored.
void RemoveTemporaryAddresses(HostNetwork& net, AddedAddresses& added);

// Start-up: deletes the aliases a previous run recorded but never removed
// (it crashed or was killed), then forgets the file, unless a removal failed
// in a way a later start may mend (helper or capability missing). Returns
// how many were removed.
int RemoveStaleAliases(HostNetwork& net, const std::string& stateFile = AddedAddresses::DefaultStateFile());

}  // namespace orvanta::hostnet

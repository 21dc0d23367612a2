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

// Makes sure the PC has an address in the subnet of CamAddr/CamMask on the
// adapter HostIfIndex; adds one with AddTemporaryAddress when it has not.
// Returns true when the PC has (or now has) such an address.
bool EnsureCameraSubnet(const CameraSettings& settings, HostNetwork& net, AddedAddresses& added,
                        const AliasTiming& timing = {});

// Tries candidate, then the addresses below the subnet's top host address,
// until one is added and no other device claims it. Returns the last address
// tried; `added` gains the alias on success. *ok (when given) says whether an
// alias is on the adapter now.
uint32_t AddTemporaryAddress(uint32_t candidate, uint32_t mask, uint32_t ifIndex, HostNetwork& net,
                             AddedAddresses& added, const AliasTiming& timing = {}, bool* ok = nullptr);

// Deletes every alias in `added`, from the first; failures are ignored.
void RemoveTemporaryAddresses(HostNetwork& net, AddedAddresses& added);

// Start-up: deletes the aliases a previous run recorded but never removed
// (it crashed or was killed), then forgets the file, unless a removal failed
// in a way a later start may mend (helper or capability missing). Returns
// how many were removed.
int RemoveStaleAliases(HostNetwork& net, const std::string& stateFile = AddedAddresses::DefaultStateFile());

}  // namespace orvanta::hostnet

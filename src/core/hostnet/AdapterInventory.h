// What the PC's adapters say about how it is linked, read once at start-up
// into the record's Host* fields.
#pragma once

#include <vector>

#include "core/hostnet/HostNetwork.h"
#include "core/settings/CameraSettings.h"

namespace orvanta::hostnet {

// The cards that may be called this PC's connection, in the order a person
// would name them: up, wired or wireless, not virtual (see
// Adapter::virtualLink); the card carrying the default route first, then
// wired, then wireless, each group in the kernel's order.
std::vector<Adapter> CandidateAdapters(const AdapterList& list);

// Picks the adapter in use: sets HostIfIndex, HostAdapterFound, HostWireless
// and HostDialUp. Any PPP link that is up sets HostDialUp. The candidates are
// walked in order: a wired card takes the index and ends the walk; a wireless
// one takes it and the walk goes on, so a wired card after it still wins the
// index while the PC stays "wireless". A failed listing is reported as
// "\tError: %s" as a diagnostic line.
void FindActiveAdapter(CameraSettings& settings, HostNetwork& net);

// The user picked card `ifIndex`: it becomes the adapter in use, and its
// addresses replace those read for the previous one. False (record
// untouched) when it is not a candidate any more.
bool ChooseAdapter(CameraSettings& settings, HostNetwork& net, uint32_t ifIndex);

// Fills HostIP, HostMask, HostGateway, HostDNS, HostDHCP and HostNoAddress
// from the adapter HostIfIndex.
void ReadAdapterAddresses(CameraSettings& settings, HostNetwork& net);

}  // namespace orvanta::hostnet

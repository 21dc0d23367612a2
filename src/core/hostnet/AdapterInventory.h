// What the PC's adapters say about how it is linked, read once at start-up
// into the record's Host* fields.
#pragma once

#include "core/hostnet/HostNetwork.h"
#include "core/settings/CameraSettings.h"

namespace orvanta::hostnet {

// Picks the adapter in use: sets HostIfIndex, HostAdapterFound, HostWireless
// and HostDialUp. A failed listing is reported as "\tError: %s" as a diagnostic line.
void FindActiveAdapter(CameraSettings& settings, HostNetwork& net);

// Fills HostIP, HostMask, HostGateway, HostDNS, HostDHCP and HostNoAddress
// from the adapter HostIfIndex.
void ReadAdapterAddresses(CameraSettings& settings, HostNetwork& net);

}  // namespace orvanta::hostnet

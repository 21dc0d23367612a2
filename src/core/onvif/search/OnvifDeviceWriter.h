// ONVIF cameras a search found, as rows for the shared writer: what
// `orvanta-cli discover` lists beside our own cameras. Sorted by the
// address they answered from (then endpoint), so two runs compare line by
// line; every text is the camera's own and escaped by the writer.
#pragma once

#include <vector>

#include "core/onvif/OnvifTypes.h"
#include "core/output/RecordWriter.h"

namespace orvanta::onvif {

// Columns: uuid, address, xaddrs (space-separated, as announced), name,
// hardware, interface (the PC's card).
output::OutputTable OnvifDeviceTable(const std::vector<DiscoveredOnvifDevice>& devices);

}  // namespace orvanta::onvif

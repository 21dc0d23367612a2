// The WS-Discovery Probe we multicast, in the 2005/04 dialect ONVIF devices
// speak, asking for video transmitters and ONVIF device services.
#pragma once

#include <string>

namespace orvanta::onvif {

// Where WS-Discovery probes and announcements go.
inline constexpr const char* kDiscoveryGroup = "239.255.255.250";
inline constexpr unsigned short kDiscoveryPort = 3702;

// A fresh "urn:uuid:..." (random, version 4). Each probe gets its own, so a
// device that drops repeated messages by MessageID still answers a probe
// sent on another card.
std::string NewMessageId();

// The whole Probe envelope for `messageId` (taken as it is: only our own
// urn:uuid text goes in).
std::string BuildProbe(const std::string& messageId);

}  // namespace orvanta::onvif

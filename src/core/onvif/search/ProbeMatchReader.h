// Reads what devices multicast or send back in WS-Discovery: ProbeMatches,
// Hello and Bye. Makers differ in prefixes (s/env/SOAP-ENV, d/wsd/dn),
// default namespaces and inner redeclarations, and in the dialect
// (2005/04 as ONVIF asks, or the 2009 OASIS one; WS-Addressing 2004/08 or
// 2005/08), so every element is matched by its namespace URI and local
// name, never by how it is spelled. Shapes real firmware sends beside the
// standard one are read too: a bare ProbeMatch without its ProbeMatches
// list, and discovery names under a prefix never declared.
// A datagram is whatever the network delivers: its size, depth and the
// number and length of what it lists are bounded before anything is kept.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::onvif {

// What a datagram may hold at most (UDP's own limit; a real ProbeMatch is a
// few kilobytes).
inline constexpr std::size_t kMaxDiscoveryMessageBytes = 65507;
inline constexpr int kMaxDiscoveryDepth = 24;
inline constexpr std::size_t kMaxMatchesPerMessage = 64;
inline constexpr std::size_t kMaxListItems = 32;       // xaddrs, scopes, types of one match
inline constexpr std::size_t kMaxItemBytes = 1024;     // one address, URL or scope

enum class DiscoveryKind { ProbeMatches, Hello, Bye };

// One device as a message describes it.
struct DiscoveryAnnouncement {
    std::string endpoint;                 // EndpointReference/Address, trimmed
    std::vector<std::string> xaddrs;
    std::vector<std::string> scopes;
    uint32_t metadataVersion = 0;
    // Types names an ONVIF video transmitter or device service (matched by
    // namespace; an undeclared prefix by local name alone).
    bool onvifTypes = false;
};

struct DiscoveryMessage {
    DiscoveryKind kind = DiscoveryKind::ProbeMatches;
    std::string relatesTo;                // the Probe's MessageID a ProbeMatches answers
    std::vector<DiscoveryAnnouncement> devices;  // entries without an endpoint left out
};

// The message in `datagram`, or nothing (with `why` for the diagnostic
// line) when it is not XML, too large or deep, or not one of the three.
std::optional<DiscoveryMessage> ReadDiscoveryMessage(std::string_view datagram, std::string* why = nullptr);

// Scope URIs of the ONVIF form "onvif://www.onvif.org/<kind>/<value>".
struct OnvifScopeFields {
    std::string name;      // the first name scope, percent-decoded
    std::string hardware;
    std::string location;  // all that follows "location/", percent-decoded
};
OnvifScopeFields ReadScopeFields(const std::vector<std::string>& scopes);

// "%20" and the like decoded; a malformed escape is kept as it is. Control
// characters the decoding yields are dropped (device text is plain text).
std::string PercentDecode(std::string_view text);

}  // namespace orvanta::onvif

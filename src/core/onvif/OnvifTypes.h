// What the ONVIF side of the core knows about a camera, as plain values:
// what a search found, what a read returned, what a change asks for, and
// the typed outcome of every call. Shared by discovery, the device calls,
// the command line and the provisioner.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanta::onvif {

// How a call ended. Callers switch on it; the text beside it (OnvifResult::
// detail) is for the diagnostic sink and the user, never parsed.
enum class OnvifStatus {
    Ok,
    Unreachable,        // no connection, or no reply before the deadline
    TimedOut,           // the overall deadline passed mid-call
    NotAuthorized,      // the camera refused the credentials (UsernameToken and Digest both tried)
    NoOnvifUser,        // the camera has no such ONVIF user
    OnvifDisabled,      // the port answers, but not as an ONVIF device service
    Fault,              // a SOAP fault other than the above (its reason in detail)
    BadReply,           // a reply we could not read (not XML, too large, too deep, wrong shape)
    NotSupported,       // the camera does not offer this call (ActionNotSupported and the like)
    Mismatch,           // read back after a change differs from what was set
    NotFound,           // a search for the endpoint reference found nothing
    Refused,            // refused before sending (a value that may not be sent)
};

struct OnvifResult {
    OnvifStatus status = OnvifStatus::Ok;
    std::string detail;
    bool ok() const { return status == OnvifStatus::Ok; }
};

// One camera a WS-Discovery search found. One entry per endpoint reference,
// however many cards or addresses it answered on.
struct DiscoveredOnvifDevice {
    std::string endpoint;                 // "urn:uuid:..." (the identity)
    std::vector<std::string> xaddrs;      // device service URLs, as announced
    std::vector<std::string> scopes;      // as announced
    std::string name;                     // onvif://www.onvif.org/name/... (percent-decoded)
    std::string hardware;                 // .../hardware/...
    std::string location;                 // .../location/...
    std::string interfaceName;            // the PC's card the reply came in on
    uint32_t localAddress = 0;            // the PC's address on that card (host order)
    uint32_t replyFrom = 0;               // the address the reply came from (host order)
    // Every address a reply with this endpoint reference came from, in the
    // order heard (host order). More than one is either a camera that moved
    // mid-search or a device claiming another's reference: only the link
    // layer tells which.
    std::vector<uint32_t> heardFrom;
    uint32_t metadataVersion = 0;
    // Every card it answered on, the one above first (a camera cabled to
    // two of the PC's networks is still one camera).
    std::vector<std::string> interfaces;
    // Reached through a router (a search of an address range beyond the
    // PC's own links): no link-layer address to check, no temporary
    // address to add; interfaceName is the card the route leaves by.
    bool routed = false;
};

struct OnvifIpv4 {
    bool dhcp = false;
    std::string address;                  // dotted quad
    int prefix = 0;
};

struct OnvifClock {
    std::string utc;                      // ISO 8601 UTC, e.g. "2026-12-08T10:00:00Z"
    std::string tz;                       // POSIX TZ string as the camera reports it
    int64_t offsetSeconds = 0;            // camera minus PC
    bool ntp = false;                     // kept by NTP (DateTimeType), not by hand
};

// Everything `onvif read` prints.
struct OnvifDeviceState {
    std::string endpoint;
    std::string manufacturer, model, firmware, serial, hardwareId;
    std::string hostname;
    std::string interfaceToken;           // the network interface the address belongs to
    std::string mac;                      // the interface's hardware address, "aa:bb:cc:dd:ee:ff"
    OnvifIpv4 ipv4;
    std::string gateway;
    std::vector<std::string> dns;
    std::vector<std::string> ntp;
    OnvifClock time;
    std::vector<std::string> streamUris;
    // The fields above the camera would not tell (a call it refused or
    // does not offer), by the names `onvif read` prints them under:
    // "uuid", "mac", "ipv4", "gateway", "dns", "ntp", "hostname",
    // "stream_uris". Empty after a whole read.
    std::vector<std::string> missing;
    bool Partial() const { return !missing.empty(); }
    // The endpoint reference learnt elsewhere (a search) when the camera
    // would not tell its own: no longer missing then.
    void KnowEndpoint(const std::string& known) {
        if (!endpoint.empty() || known.empty()) return;
        endpoint = known;
        std::erase(missing, std::string("uuid"));
    }
};

// What a change asks for; an unset field is left as the camera has it.
struct OnvifChange {
    std::optional<OnvifIpv4> ipv4;        // dhcp, or address + prefix
    std::optional<std::string> gateway;
    std::optional<std::vector<std::string>> dns;
    std::optional<std::vector<std::string>> ntp;
    std::optional<std::string> hostname;
    bool syncTime = false;                // set the camera's clock to the PC's UTC
    std::optional<std::string> tz;        // POSIX TZ string
    std::optional<std::string> newPassword;  // for the user we log in as
    bool empty() const {
        return !ipv4 && !gateway && !dns && !ntp && !hostname && !syncTime && !tz && !newPassword;
    }
};

struct OnvifCredentials {
    std::string user;
    std::string password;
};

}  // namespace orvanta::onvif

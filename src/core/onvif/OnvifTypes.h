// What the ONVIF side of the core knows about a camera, as plain values:
// what a search found, what a read returned, what a change asks for, and
// the typed outcome of every call. Shared by discovery, the device calls,
// the command line and the provisioner.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
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

// One video encoder configuration as the camera holds it. Media2 states
// the frame rate as a float; whole frame rates are what cameras offer.
struct OnvifVideoEncoder {
    std::string token;                    // the configuration's token (what a change is sent for)
    std::string name;
    int useCount = 0;
    std::string encoding;                 // "H264", "H265", "JPEG" (Media2 names, "MPEG4" on old cameras)
    int width = 0, height = 0;
    double fpsLimit = 0;
    int bitrateKbps = 0;
    int gop = 0;                          // 0 where the encoding has none (JPEG)
    double quality = 0;
    // Kept only to be sent back unchanged: Media (ver10) wants the whole
    // configuration on a change, these included.
    int encodingInterval = 1;
    std::string h264Profile;
    std::string multicastAddress = "0.0.0.0";
    int multicastPort = 0, multicastTtl = 1;
    bool multicastAutoStart = false;
    std::string sessionTimeout = "PT60S";
    bool constantBitRate = false;
    bool hasConstantBitRate = false;
};

// A media profile: what `onvif read` lists and a stream change names.
struct OnvifProfile {
    std::string token;
    std::string name;
    std::optional<OnvifVideoEncoder> encoder;  // a profile without one (audio only, metadata) has none
    std::string streamUri;
};

// What one encoding may be set to. An empty list or a range with max 0 is
// one the camera did not state: a value for it is sent as asked.
struct OnvifIntRange {
    int min = 0, max = 0;
    bool Known() const { return max > 0 || min > 0; }
    bool Holds(int v) const { return !Known() || (v >= min && v <= max); }
};
struct OnvifEncodingOptions {
    std::string encoding;
    std::vector<std::pair<int, int>> resolutions;   // width, height as listed
    std::vector<int> frameRates;                    // Media2 lists them
    OnvifIntRange frameRateRange;                   // Media states a range
    OnvifIntRange bitrateKbps;
    OnvifIntRange gop;
};
struct OnvifEncoderOptions {
    std::vector<OnvifEncodingOptions> encodings;
    double qualityMin = 0, qualityMax = 0;
    bool Empty() const { return encodings.empty(); }
};

// A stream change: the profile by token or by its 1-based place in the
// list, and the values to set; an unset value is kept.
struct OnvifStreamChange {
    std::string profile;                  // token, or "1", "2" ... for the n-th profile
    std::optional<std::string> encoding;
    std::optional<std::pair<int, int>> resolution;
    std::optional<int> fps;
    std::optional<int> bitrateKbps;
    std::optional<int> gop;
    std::optional<double> quality;
    bool empty() const { return !encoding && !resolution && !fps && !bitrateKbps && !gop && !quality; }
};

struct OnvifUser {
    std::string name;
    std::string level;   // Administrator, Operator, User, Anonymous, Extended
};

// One change to the camera's user list. A password travels only here, in
// memory, from a file the user named.
struct OnvifUserChange {
    enum class Kind { Add, SetPassword, Remove };
    Kind kind = Kind::Add;
    std::string name;
    std::string level;                    // Add: Administrator, Operator or User
    std::string password;                 // Add, SetPassword
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
    std::vector<OnvifProfile> profiles;   // with their stream URIs ("profiles")
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
    std::vector<OnvifStreamChange> streams;   // one a profile
    std::vector<OnvifUserChange> users;
    bool empty() const {
        return !ipv4 && !gateway && !dns && !ntp && !hostname && !syncTime && !tz && !newPassword && streams.empty() &&
               users.empty();
    }
};

struct OnvifCredentials {
    std::string user;
    std::string password;
};

}  // namespace orvanta::onvif

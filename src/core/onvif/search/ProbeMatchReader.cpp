#include "core/onvif/search/ProbeMatchReader.h"

#include <cctype>
#include <utility>

#include "core/onvif/soap/OnvifNamespaces.h"
#include "core/onvif/soap/OnvifXml.h"

namespace orvanta::onvif {

namespace {

using ns::kDevice;
using ns::kSoap11;
using ns::kSoap12;

constexpr const char* kDiscovery2005 = "http://schemas.xmlsoap.org/ws/2005/04/discovery";
constexpr const char* kDiscovery2009 = "http://docs.oasis-open.org/ws-dd/ns/discovery/2009/01";
constexpr const char* kAddressing2004 = "http://schemas.xmlsoap.org/ws/2004/08/addressing";
constexpr const char* kAddressing2005 = "http://www.w3.org/2005/08/addressing";
constexpr const char* kOnvifNetwork = "http://www.onvif.org/ver10/network/wsdl";

using Uris = std::initializer_list<const char*>;

bool Is(const pugi::xml_node& node, std::string_view local, Uris uris) {
    if (node.type() != pugi::node_element || LocalName(node) != local) return false;
    const std::string uri = NamespaceOf(node);
    for (const char* u : uris)
        if (uri == u) return true;
    return false;
}

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view local, Uris uris) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (Is(c, local, uris)) return c;
    return {};
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Device text is plain text: control bytes never reach a listing.
bool HasControl(std::string_view s) {
    for (const unsigned char c : s)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

// A whitespace-separated list, each item bounded and free of controls,
// duplicates dropped, at most kMaxListItems kept.
std::vector<std::string> SplitList(std::string_view text) {
    std::vector<std::string> items;
    std::size_t i = 0;
    while (i < text.size() && items.size() < kMaxListItems) {
        while (i < text.size() && IsSpace(text[i])) ++i;
        std::size_t j = i;
        while (j < text.size() && !IsSpace(text[j])) ++j;
        const std::string_view item = text.substr(i, j - i);
        if (!item.empty() && item.size() <= kMaxItemBytes && !HasControl(item)) {
            bool seen = false;
            for (const auto& have : items) seen = seen || have == item;
            if (!seen) items.emplace_back(item);
        }
        i = j;
    }
    return items;
}

// Types is a list of QNames, resolved where the Types element stands.
bool NamesOnvifType(const pugi::xml_node& types) {
    for (const std::string& qname : SplitList(ElementText(types))) {
        const ResolvedName name = ResolveQName(types, qname);
        const bool video = name.local == "NetworkVideoTransmitter";
        const bool device = name.local == "Device";
        if (!video && !device) continue;
        // Some devices use a prefix they never declare; the local name has
        // to do then.
        if (name.uri.empty()) return true;
        if ((video && name.uri == kOnvifNetwork) || (device && name.uri == kDevice)) return true;
    }
    return false;
}

// Discovery and addressing names in either dialect, or with a prefix the
// device never declared (some firmware writes "d:" and "wsa:" without any
// xmlns; the name is unmistakable in this place all the same). A prefix
// declared to another namespace is still refused.
constexpr std::initializer_list<const char*> kDiscoveryUris = {kDiscovery2005, kDiscovery2009, ""};
constexpr std::initializer_list<const char*> kAddressingUris = {kAddressing2004, kAddressing2005, ""};

std::optional<DiscoveryAnnouncement> ReadDevice(pugi::xml_node entry) {
    static const std::initializer_list<const char*> wsd = kDiscoveryUris;
    DiscoveryAnnouncement device;
    const pugi::xml_node reference = Child(entry, "EndpointReference", kAddressingUris);
    const std::string endpoint = ElementText(Child(reference, "Address", kAddressingUris));
    if (endpoint.empty() || endpoint.size() > kMaxItemBytes || HasControl(endpoint)) return std::nullopt;
    device.endpoint = endpoint;
    if (const pugi::xml_node types = Child(entry, "Types", wsd)) device.onvifTypes = NamesOnvifType(types);
    device.scopes = SplitList(ElementText(Child(entry, "Scopes", wsd)));
    device.xaddrs = SplitList(ElementText(Child(entry, "XAddrs", wsd)));
    const std::string version = ElementText(Child(entry, "MetadataVersion", wsd));
    if (!version.empty() && version.size() <= 10 && version.find_first_not_of("0123456789") == std::string::npos) {
        const unsigned long long v = std::stoull(version);
        device.metadataVersion = v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(v);
    }
    return device;
}

void Say(std::string* why, const char* text) {
    if (why) *why = text;
}

}  // namespace

std::optional<DiscoveryMessage> ReadDiscoveryMessage(std::string_view datagram, std::string* why) {
    if (datagram.size() > kMaxDiscoveryMessageBytes) {
        Say(why, "larger than any discovery message");
        return std::nullopt;
    }
    pugi::xml_document doc;
    std::string unreadable;
    XmlLimits limits;
    limits.maxBytes = kMaxDiscoveryMessageBytes;
    limits.maxDepth = kMaxDiscoveryDepth;
    if (!ParseBoundedXml(datagram, doc, unreadable, limits)) {
        Say(why, unreadable.c_str());
        return std::nullopt;
    }
    const pugi::xml_node envelope = doc.document_element();
    static const std::initializer_list<const char*> soap = {kSoap12, kSoap11};
    static const std::initializer_list<const char*> wsd = kDiscoveryUris;
    static const std::initializer_list<const char*> wsa = kAddressingUris;
    if (!Is(envelope, "Envelope", soap)) {
        Say(why, "not a SOAP envelope");
        return std::nullopt;
    }
    const pugi::xml_node body = Child(envelope, "Body", soap);
    const pugi::xml_node header = Child(envelope, "Header", soap);
    DiscoveryMessage message;
    pugi::xml_node list;
    const char* entryName = nullptr;
    if ((list = Child(body, "ProbeMatches", wsd))) {
        message.kind = DiscoveryKind::ProbeMatches;
        entryName = "ProbeMatch";
    } else if ((list = Child(body, "ProbeMatch", wsd))) {
        // One match straight in the Body, without its ProbeMatches list:
        // older firmware of several makers answers so.
        message.kind = DiscoveryKind::ProbeMatches;
    } else if ((list = Child(body, "Hello", wsd))) {
        message.kind = DiscoveryKind::Hello;
    } else if ((list = Child(body, "Bye", wsd))) {
        message.kind = DiscoveryKind::Bye;
    } else {
        Say(why, "neither ProbeMatches, Hello nor Bye");
        return std::nullopt;
    }
    const std::string relatesTo = ElementText(Child(header, "RelatesTo", wsa));
    if (relatesTo.size() <= kMaxItemBytes && !HasControl(relatesTo)) message.relatesTo = relatesTo;

    const auto take = [&](pugi::xml_node entry) {
        if (message.devices.size() >= kMaxMatchesPerMessage) return;
        std::optional<DiscoveryAnnouncement> device = ReadDevice(entry);
        if (!device) return;
        // A device listed twice in one message is one device.
        for (auto& have : message.devices)
            if (have.endpoint == device->endpoint) return;
        message.devices.push_back(std::move(*device));
    };
    if (entryName) {
        for (pugi::xml_node c = list.first_child(); c; c = c.next_sibling())
            if (Is(c, entryName, wsd)) take(c);
    } else {
        take(list);
    }
    return message;
}

std::string PercentDecode(std::string_view text) {
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            c = static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        }
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) continue;
        out += c;
    }
    return out;
}

OnvifScopeFields ReadScopeFields(const std::vector<std::string>& scopes) {
    OnvifScopeFields fields;
    constexpr std::string_view base = "onvif://www.onvif.org/";
    for (const std::string& scope : scopes) {
        if (scope.size() < base.size()) continue;
        // The scheme and host are case-insensitive; the path is not.
        bool same = true;
        for (std::size_t i = 0; i < base.size(); ++i)
            same = same && std::tolower(static_cast<unsigned char>(scope[i])) == base[i];
        if (!same) continue;
        const std::string_view rest = std::string_view(scope).substr(base.size());
        const auto field = [&](std::string_view kind, std::string& into) {
            if (!into.empty() || rest.substr(0, kind.size()) != kind || rest.size() == kind.size()) return;
            into = PercentDecode(rest.substr(kind.size()));
        };
        field("name/", fields.name);
        field("hardware/", fields.hardware);
        field("location/", fields.location);
    }
    return fields;
}

}  // namespace orvanta::onvif

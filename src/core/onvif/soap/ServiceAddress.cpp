#include "core/onvif/soap/ServiceAddress.h"

#include <strings.h>

#include "core/base/AddressText.h"

namespace orvanta::onvif {

namespace {

bool ValidPort(std::string_view p) {
    if (p.empty() || p.size() > 5 || p.find_first_not_of("0123456789") != std::string_view::npos) return false;
    const int v = std::stoi(std::string(p));
    return v >= 1 && v <= 65535;
}

bool ValidHost(std::string_view h) {
    if (h.empty() || h.size() > 253) return false;
    if (h.find_first_not_of("0123456789.") == std::string_view::npos) {
        uint32_t a = 0;
        return ParseIpv4(h, a);
    }
    return h.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") ==
               std::string_view::npos &&
           h.front() != '-';
}

// "host[:port]" into the URL's host and port.
bool SplitHostPort(std::string_view text, ServiceUrl& out) {
    const std::size_t colon = text.rfind(':');
    out.host = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos) {
        if (!ValidPort(text.substr(colon + 1))) return false;
        out.port = std::string(text.substr(colon + 1));
    }
    return ValidHost(out.host);
}

}  // namespace

bool ParseServiceUrl(std::string_view url, ServiceUrl& out) {
    constexpr std::string_view kScheme = "http://";
    if (url.size() < kScheme.size() || strncasecmp(url.data(), kScheme.data(), kScheme.size()) != 0) return false;
    url.remove_prefix(kScheme.size());
    const std::size_t slash = url.find('/');
    ServiceUrl parsed;
    if (!SplitHostPort(url.substr(0, slash), parsed)) return false;
    parsed.path = slash == std::string_view::npos ? "/" : std::string(url.substr(slash));
    // The path goes into the request line as it stands: nothing that could
    // end the line or the header.
    for (const char c : parsed.path)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) return false;
    out = parsed;
    return true;
}

std::string FormatServiceUrl(const ServiceUrl& url) {
    return "http://" + url.host + (url.port == "80" ? "" : ":" + url.port) + url.path;
}

bool ParseDeviceTarget(std::string_view target, ServiceUrl& out, std::string& why) {
    if (target.find("://") != std::string_view::npos) {
        if (ParseServiceUrl(target, out)) return true;
        why = "'" + std::string(target) + "' is not an http:// device service address";
        return false;
    }
    ServiceUrl parsed;
    if (!SplitHostPort(target, parsed)) {
        why = "'" + std::string(target) + "' is not an address, address:port, device service URL or urn:uuid:";
        return false;
    }
    out = parsed;
    return true;
}

ServiceUrl ReachableServiceUrl(const ServiceUrl& reported, const ServiceUrl& reached) {
    ServiceUrl out = reported;
    out.host = reached.host;
    return out;
}

std::optional<ServiceUrl> DeviceServiceOf(const DiscoveredOnvifDevice& found) {
    for (const std::string& x : found.xaddrs) {
        ServiceUrl url;
        if (!ParseServiceUrl(x, url)) continue;
        if (found.replyFrom != 0) url.host = FormatIpv4HostOrder(found.replyFrom);
        return url;
    }
    return std::nullopt;
}

}  // namespace orvanta::onvif

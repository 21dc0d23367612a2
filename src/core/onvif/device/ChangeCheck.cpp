#include "core/onvif/device/ChangeCheck.h"

#include <arpa/inet.h>

#include <cstdlib>

#include "core/onvif/device/PosixTimeZone.h"
#include "core/onvif/device/StreamCheck.h"
#include "core/base/AddressText.h"

namespace orvanta::onvif {

namespace {

bool UnicastAddress(const std::string& text) {
    uint32_t a = 0;
    if (!ParseIpv4(text, a)) return false;
    const uint32_t host = ntohl(a);
    // Not 0.0.0.0/8, loopback, multicast/reserved or broadcast.
    return (host >> 24) != 0 && (host >> 24) != 127 && (host >> 28) < 14;
}

bool HostName(const std::string& text) {
    if (text.empty() || text.size() > 63 || text.front() == '-' || text.back() == '-') return false;
    return text.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-") ==
           std::string::npos;
}

bool DnsName(const std::string& text) {
    if (text.empty() || text.size() > 253) return false;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t dot = text.find('.', start);
        const std::string label = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (!HostName(label)) return false;
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return true;
}

}  // namespace

std::string Ipv4Text(const OnvifIpv4& ipv4) {
    return ipv4.dhcp ? "dhcp" : ipv4.address + "/" + std::to_string(ipv4.prefix);
}

std::string ListText(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& i : items) out += (out.empty() ? "" : ",") + i;
    return out;
}

bool CheckChange(const OnvifChange& change, std::string& why) {
    if (change.ipv4 && !change.ipv4->dhcp) {
        if (!UnicastAddress(change.ipv4->address)) {
            why = "'" + change.ipv4->address + "' is not a unicast IPv4 address";
            return false;
        }
        if (change.ipv4->prefix < 1 || change.ipv4->prefix > 32) {
            why = "the prefix length must be 1 to 32";
            return false;
        }
    }
    if (change.gateway && !change.gateway->empty() && !UnicastAddress(*change.gateway)) {
        why = "'" + *change.gateway + "' is not a unicast IPv4 address";
        return false;
    }
    if (change.dns)
        for (const std::string& d : *change.dns)
            if (!UnicastAddress(d)) {
                why = "DNS server '" + d + "' is not a unicast IPv4 address";
                return false;
            }
    if (change.ntp)
        for (const std::string& n : *change.ntp)
            if (!UnicastAddress(n) && !DnsName(n)) {
                why = "NTP server '" + n + "' is neither an IPv4 address nor a host name";
                return false;
            }
    if (change.hostname && !HostName(*change.hostname)) {
        why = "'" + *change.hostname + "' is not a host name (letters, digits and '-', at most 63)";
        return false;
    }
    if (change.tz && !LooksLikePosixTimeZone(*change.tz)) {
        why = "'" + *change.tz + "' is not a POSIX TZ string (such as CET-1CEST,M3.5.0,M10.5.0/3)";
        return false;
    }
    for (const OnvifStreamChange& st : change.streams) {
        if (st.profile.empty()) {
            why = "a stream change needs a profile (its token, or 1 for the first)";
            return false;
        }
        if (st.empty()) {
            why = "a profile is named, but nothing to set in it";
            return false;
        }
        if ((st.fps && *st.fps <= 0) || (st.bitrateKbps && *st.bitrateKbps <= 0) || (st.gop && *st.gop <= 0) ||
            (st.quality && *st.quality < 0)) {
            why = "frame rate, bitrate and GOP length must be above 0";
            return false;
        }
    }
    for (const OnvifUserChange& u : change.users)
        if (u.kind != OnvifUserChange::Kind::Remove && u.password.empty()) {
            why = "user " + u.name + " needs a password (from a file)";
            return false;
        }
    if (change.newPassword && change.newPassword->empty()) {
        why = "the new password is empty";
        return false;
    }
    return true;
}

std::vector<FieldChange> PlannedChanges(const OnvifDeviceState& s, const OnvifChange& c, const std::string& pcTz) {
    std::vector<FieldChange> out;
    if (c.ipv4 && Ipv4Text(*c.ipv4) != Ipv4Text(s.ipv4)) out.push_back({"ipv4", Ipv4Text(s.ipv4), Ipv4Text(*c.ipv4)});
    if (c.gateway && *c.gateway != s.gateway) out.push_back({"gateway", s.gateway, *c.gateway});
    if (c.dns && *c.dns != s.dns) out.push_back({"dns", ListText(s.dns), ListText(*c.dns)});
    if (c.ntp && *c.ntp != s.ntp) out.push_back({"ntp", ListText(s.ntp), ListText(*c.ntp)});
    // Servers are only used by a clock kept by NTP: a hand-kept one is switched.
    if (c.ntp && !c.ntp->empty() && !s.time.ntp) out.push_back({"clock", "manual", "NTP"});
    if (c.hostname && *c.hostname != s.hostname) out.push_back({"hostname", s.hostname, *c.hostname});
    if (c.syncTime) out.push_back({"time", s.time.utc + " (offset " + std::to_string(s.time.offsetSeconds) + " s)", "the PC's UTC"});
    const std::optional<std::string> tz = c.tz ? c.tz : c.syncTime ? std::optional<std::string>(pcTz) : std::nullopt;
    if (tz && *tz != s.time.tz) out.push_back({"tz", s.time.tz, *tz});
    if (c.newPassword) out.push_back({"password", "(secret)", "(secret)"});
    for (const OnvifStreamChange& stream : c.streams) {
        std::string why;
        const OnvifProfile* p = FindProfile(s.profiles, stream.profile, why);
        if (p && p->encoder) {
            const OnvifVideoEncoder wanted = WithStreamChange(*p->encoder, stream);
            if (EncoderText(wanted) != EncoderText(*p->encoder))
                out.push_back({"stream " + p->token, EncoderText(*p->encoder), EncoderText(wanted)});
        }
    }
    for (const OnvifUserChange& u : c.users) {
        switch (u.kind) {
            case OnvifUserChange::Kind::Add: out.push_back({"user " + u.name, "", u.level + ", password (secret)"}); break;
            case OnvifUserChange::Kind::SetPassword: out.push_back({"user " + u.name, "password", "(secret)"}); break;
            case OnvifUserChange::Kind::Remove: out.push_back({"user " + u.name, u.name, "(removed)"}); break;
        }
    }
    return out;
}

std::vector<std::string> UnmetFields(const OnvifChange& c, const OnvifDeviceState& a, const std::string& pcTz,
                                     int toleranceSeconds) {
    std::vector<std::string> out;
    if (c.ipv4 && Ipv4Text(*c.ipv4) != Ipv4Text(a.ipv4)) out.push_back("ipv4");
    if (c.gateway && *c.gateway != a.gateway) out.push_back("gateway");
    if (c.dns && *c.dns != a.dns) out.push_back("dns");
    if (c.ntp && *c.ntp != a.ntp) out.push_back("ntp");
    if (c.ntp && !c.ntp->empty() && !a.time.ntp) out.push_back("clock");
    if (c.hostname && *c.hostname != a.hostname) out.push_back("hostname");
    if (c.syncTime && std::llabs(a.time.offsetSeconds) > toleranceSeconds) out.push_back("time");
    const std::optional<std::string> tz = c.tz ? c.tz : c.syncTime ? std::optional<std::string>(pcTz) : std::nullopt;
    if (tz && *tz != a.time.tz) out.push_back("tz");
    return out;
}

}  // namespace orvanta::onvif

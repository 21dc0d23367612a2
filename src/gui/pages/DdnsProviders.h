// The dynamic DNS providers the DDNS page offers, with the code each stores
// in the record's DDNSSrv. The two DynDNS update servers are stored by
// server name and port; every other entry is stored by its own label, so
// label and code are the same text there, and no server code equals any
// label (a loaded DDNSSrv is matched against both).
#pragma once

#include <cstddef>
#include <string_view>

namespace orvanta {

struct DdnsProvider {
    std::string_view label;
    std::string_view code;
};

inline constexpr DdnsProvider kDdnsProviders[] = {
    {"DynDNS Dynamic", "members.dyndns.org:80"},
    {"DynDNS Custom", "custom.dyndns.org:80"},
    {"DynDNS Static", "DynDNS Static"},
    {"FreeDNS", "FreeDNS"},
    {"ZoneEdit", "ZoneEdit"},
    {"No-IP", "No-IP"},
    {"3322", "3322"},
    {"EasyDNS", "EasyDNS"},
};
inline constexpr std::size_t kDdnsProviderCount = sizeof kDdnsProviders / sizeof kDdnsProviders[0];

// Only these two models take every provider; any other (also one whose name
// merely begins the same) gets the two DynDNS server entries.
inline bool ModelHasAllDdnsProviders(std::string_view model) {
    return model == "Kestra-B2" || model == "Kestra-C3";
}

// The text a summary shows for a stored code: the two server codes by their
// labels, anything else as stored.
inline std::string_view DdnsDisplayText(std::string_view code) {
    for (std::size_t i = 0; i < 2; ++i)
        if (kDdnsProviders[i].code == code) return kDdnsProviders[i].label;
    return code;
}

}  // namespace orvanta

#include "core/discovery/LocalAddresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace orvanta::discovery {

bool LoadHostIPv4Addresses(std::vector<uint32_t>& addresses) {
    addresses.clear();
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return false;
    for (const ifaddrs* ifa = list; ifa; ifa = ifa->ifa_next) {
        if (!ifa->ifa_addr || ifa->ifa_addr->sa_family != AF_INET) continue;
        if (!(ifa->ifa_flags & IFF_UP) || (ifa->ifa_flags & IFF_LOOPBACK)) continue;
        const auto* sin = reinterpret_cast<const sockaddr_in*>(ifa->ifa_addr);
        // A host-name lookup could also give 127.x on Linux; never count it.
        if ((ntohl(sin->sin_addr.s_addr) >> 24) == 127) continue;
        addresses.push_back(sin->sin_addr.s_addr);
    }
    freeifaddrs(list);
    return !addresses.empty();
}

}  // namespace orvanta::discovery

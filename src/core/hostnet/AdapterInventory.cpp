#include "core/hostnet/AdapterInventory.h"

#include <cstdio>

#include "core/hostnet/Ipv4Text.h"
#include "core/output/Diagnostics.h"
#include "core/settings/FixedField.h"

namespace orvanta::hostnet {

void FindActiveAdapter(CameraSettings& settings, HostNetwork& net) {
    const AdapterList list = net.ListAdapters();
    if (!list.ok) {
        if (!list.noData) Diagnostic("\tError: %s", list.error.c_str());
        return;
    }
    for (const auto& adapter : list.adapters) {
        if (!adapter.up) continue;
        switch (adapter.type) {
            case AdapterType::Ethernet:
                settings.HostIfIndex = adapter.index;
                settings.HostAdapterFound = 1;
                return;
            case AdapterType::Ppp:
                settings.HostDialUp = 1;
                return;
            case AdapterType::Wireless:
                // Keep looking: a wired adapter that is up wins the index, but
                // the PC still counts as wireless.
                settings.HostIfIndex = adapter.index;
                settings.HostWireless = 1;
                settings.HostAdapterFound = 1;
                break;
            case AdapterType::Other:
                break;
        }
    }
}

void ReadAdapterAddresses(CameraSettings& settings, HostNetwork& net) {
    const AdapterList list = net.ListAdapters();
    if (!list.ok) {
        // Nothing is known about the PC's address, so say so: leaving
        // HostNoAddress at 0 would claim an address that was never read.
        settings.HostNoAddress = 1;
        return;
    }
    const Adapter* adapter = nullptr;
    for (const auto& a : list.adapters)
        if (a.index == settings.HostIfIndex) {
            adapter = &a;
            break;
        }
    bool found = false;
    bool dhcpWithoutServer = false;
    if (adapter) {
        for (uint32_t gateway : adapter->gateways) {
            for (const auto& a : adapter->addresses) {
                if ((gateway & a.mask) != (a.address & a.mask)) continue;
                SetField(settings.HostGateway, FormatIpv4(gateway));
                SetField(settings.HostMask, FormatIpv4(a.mask));
                SetField(settings.HostIP, FormatIpv4(a.address));
                settings.HostDHCP = adapter->dhcpEnabled ? 1 : 0;
                if (adapter->dhcpEnabled && adapter->dhcpServer == 0) {
                    settings.HostDHCP = 0;
                    dhcpWithoutServer = true;
                }
                found = true;
                break;
            }
            if (found) break;
        }
        if (!found && adapter->dhcpEnabled && adapter->dhcpServer != 0) {
            settings.HostDHCP = 1;
            found = true;
        }
    }
    settings.HostNoAddress = (!found || dhcpWithoutServer) ? 1 : 0;
    if (adapter && !adapter->dnsServers.empty()) SetField(settings.HostDNS, FormatIpv4(adapter->dnsServers.front()));
}

}  // namespace orvanta::hostnet

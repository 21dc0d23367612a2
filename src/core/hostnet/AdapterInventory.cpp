#include "core/hostnet/AdapterInventory.h"

#include <cstdio>

#include "core/base/AddressText.h"
#include "core/base/Diagnostics.h"
#include "core/settings/FixedField.h"

namespace orvanta::hostnet {

std::vector<Adapter> CandidateAdapters(const AdapterList& list) {
    std::vector<Adapter> result;
    if (!list.ok) return result;
    auto rank = [](const Adapter& a) { return a.defaultRoute ? 0 : a.type == AdapterType::Ethernet ? 1 : 2; };
    for (int r = 0; r <= 2; ++r)
        for (const auto& a : list.adapters) {
            const bool card = a.type == AdapterType::Ethernet || a.type == AdapterType::Wireless;
            if (a.up && card && !a.virtualLink && rank(a) == r) result.push_back(a);
        }
    return result;
}

void FindActiveAdapter(CameraSettings& settings, HostNetwork& net) {
    const AdapterList list = net.ListAdapters();
    if (!list.ok) {
        if (!list.noData) Diagnostic("\tError: %s", list.error.c_str());
        return;
    }
    // The kernel numbers a PPP link after the card it dials over, so the
    // dial-up state is not left to the walk's order.
    for (const auto& adapter : list.adapters)
        if (adapter.up && adapter.type == AdapterType::Ppp) settings.HostDialUp = 1;
    for (const auto& adapter : CandidateAdapters(list)) {
        settings.HostIfIndex = adapter.index;
        settings.HostAdapterFound = 1;
        if (adapter.type == AdapterType::Ethernet) return;
        settings.HostWireless = 1;
    }
}

bool ChooseAdapter(CameraSettings& settings, HostNetwork& net, uint32_t ifIndex) {
    for (const auto& adapter : CandidateAdapters(net.ListAdapters())) {
        if (adapter.index != ifIndex) continue;
        settings.HostIfIndex = ifIndex;
        settings.HostAdapterFound = 1;
        settings.HostWireless = adapter.type == AdapterType::Wireless ? 1 : 0;
        SetField(settings.HostIP, "");
        SetField(settings.HostMask, "");
        SetField(settings.HostGateway, "");
        SetField(settings.HostDNS, "");
        settings.HostDHCP = 0;
        ReadAdapterAddresses(settings, net);
        return true;
    }
    return false;
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
                // An address with a lease time is a lease even when no file
                // tells which server gave it.
                if (adapter->dhcpEnabled && adapter->dhcpServer == 0 && !adapter->leased) {
                    settings.HostDHCP = 0;
                    dhcpWithoutServer = true;
                }
                found = true;
                break;
            }
            if (found) break;
        }
        // A LAN without a router is the commonest installation (a laptop
        // cabled to the camera or its switch): the card's first address is
        // still the PC's own, only without a gateway, and the camera's new
        // address is proposed in its subnet.
        const bool dhcpUnanswered = adapter->dhcpEnabled && adapter->dhcpServer == 0 && !adapter->leased;
        if (!found && !adapter->addresses.empty() && !dhcpUnanswered) {
            SetField(settings.HostMask, FormatIpv4(adapter->addresses.front().mask));
            SetField(settings.HostIP, FormatIpv4(adapter->addresses.front().address));
            settings.HostDHCP = adapter->dhcpEnabled ? 1 : 0;
            found = true;
        }
        if (!found && adapter->dhcpEnabled && (adapter->dhcpServer != 0 || adapter->leased)) {
            settings.HostDHCP = 1;
            found = true;
        }
    }
    settings.HostNoAddress = (!found || dhcpWithoutServer) ? 1 : 0;
    if (adapter && !adapter->dnsServers.empty()) SetField(settings.HostDNS, FormatIpv4(adapter->dnsServers.front()));
}

}  // namespace orvanta::hostnet

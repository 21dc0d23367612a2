// A search answer is a claim, not an identity: anything on the LAN can
// answer a probe with any endpoint reference and any XAddrs. These are the
// rules every caller (the command line, the window, the provisioner, the
// re-find after a move) uses before credentials go anywhere:
//  - an answer counts only for the address it came from; the host its
//    XAddrs name proves nothing;
//  - a reference answered from two addresses is two claimants, and the
//    work stops naming both;
//  - where an identity must be proven (a re-find by reference, a plan row
//    by MAC), the link layer tells, never the device's own word.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/hostnet/LinkLayerAddress.h"
#include "core/onvif/OnvifTypes.h"
#include "core/onvif/soap/ServiceAddress.h"

namespace orvanta::onvif {

// The hardware address behind an IPv4 address, heard on `card`, listening
// on `port` (see hostnet::LinkLayerAddressOf).
using LinkLookup =
    std::function<hostnet::LinkLayerAnswer(const std::string& address, const std::string& card, const std::string& port)>;

// Through the PC's own network and the privileged helper.
LinkLookup SystemLinkLookup();

// Every address the answers for `d` came from, as text, in the order heard.
std::vector<std::string> ClaimantAddresses(const DiscoveredOnvifDevice& d);

// "10.0.0.5 and 10.0.0.6" (", " between more).
std::string AddressListText(const std::vector<std::string>& addresses);

// The device service an answer from `address` announced, moved onto
// `address` (its port and path kept); the standard one there when the
// answer named none. nullopt when no answer for `d` came from `address`.
std::optional<ServiceUrl> ServiceAnnouncedFrom(const DiscoveredOnvifDevice& d, const std::string& address);

// The one device `d` was heard from, with its device service: its one
// address, or, when `link` shows every address it answered from on the same
// card (one camera with two addresses), the address the search prefers. A
// Fault naming every address when the reference came from more than one
// device, or from more than one address and `link` is empty; BadReply when
// no address is known.
OnvifResult SoleClaimant(const DiscoveredOnvifDevice& d, ServiceUrl& url, const LinkLookup& link = {});

}  // namespace orvanta::onvif

// The sockets of one WS-Discovery search: a probe socket per (card,
// address), bound to that address and sending through that card, so each
// ProbeMatch is read on the socket whose probe it answers and tells which
// card the camera is on; and one socket on port 3702 joined to the group on
// every card, for the Hello and Bye devices multicast on their own.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/onvif/search/ProbeCards.h"
#include "core/onvif/search/OnvifDeviceList.h"

namespace orvanta::onvif {

class WsdSockets {
public:
    explicit WsdSockets(std::vector<ProbeCard> cards);
    ~WsdSockets();
    WsdSockets(const WsdSockets&) = delete;
    WsdSockets& operator=(const WsdSockets&) = delete;

    // Opens the sockets. False when not one probe socket could be opened
    // (each failure is a diagnostic line); without the announcement socket
    // the search goes on, deaf to Hello and Bye only.
    bool Open();

    // A new probe, with a fresh MessageID, from every address.
    void Probe();
    // The last probe again, same MessageIDs (a repeat of one message, as
    // SOAP over UDP asks, so a device answers it once).
    void Repeat();

    // Reads what arrives until `until`, or until `done` says so after a
    // message was taken in.
    void Listen(std::chrono::steady_clock::time_point until, const std::function<bool()>& done = {});

    const OnvifDeviceList& Devices() const { return devices_; }
    // Replies to our probes that could not be read (not one of the shapes
    // we know, or no device in them), counted per card: "2 replies on eth1
    // could not be read", "" when there were none. Each one is also a
    // diagnostic line with its reason.
    std::string UnreadableSummary() const;

private:
    struct ProbeSocket {
        ProbeCard card;
        int fd = -1;
        std::string messageId;
    };
    void Send(ProbeSocket& socket);
    void ReadProbeSocket(const ProbeSocket& socket);
    void ReadAnnouncementSocket();
    void Take(const std::string& datagram, const DiscoveryOrigin& origin, bool announcement);
    void CountUnreadable(const std::string& card);

    std::vector<ProbeCard> cards_;
    std::vector<ProbeSocket> probes_;
    int announcements_ = -1;
    OnvifDeviceList devices_;
    std::vector<std::pair<std::string, int>> unreadable_;  // card, replies, in the order first met
};

}  // namespace orvanta::onvif

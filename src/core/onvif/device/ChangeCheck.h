// What a change asks of a camera, judged before and after: whether every
// value may be sent at all, which fields it changes (the dry run's lines),
// and which of them the camera did not take (the read-back after a change).
#pragma once

#include <string>
#include <vector>

#include "core/onvif/OnvifTypes.h"

namespace orvanta::onvif {

// False with `why` for a value no camera should get: an address that is not
// a unicast dotted quad, a prefix outside 1..32, a host name that is not
// one, a time zone that is not a POSIX TZ string, an empty password.
bool CheckChange(const OnvifChange& change, std::string& why);

struct FieldChange {
    std::string field;    // the `onvif read` key: ipv4, gateway, dns, ntp, hostname, time, tz, password
    std::string before;
    std::string after;
};

// The fields `change` would alter on a camera in `state` (unchanged ones
// left out; a time sync and a new password always listed, the password
// shown as "(secret)"). `pcTz` is the zone a time sync sets when the change
// names none.
std::vector<FieldChange> PlannedChanges(const OnvifDeviceState& state, const OnvifChange& change,
                                        const std::string& pcTz);

// The fields of `change` that `after` does not show. A synced clock counts
// when it is within `toleranceSeconds` of the PC's.
std::vector<std::string> UnmetFields(const OnvifChange& change, const OnvifDeviceState& after, const std::string& pcTz,
                                     int toleranceSeconds = 5);

std::string Ipv4Text(const OnvifIpv4& ipv4);   // "dhcp" or "a.b.c.d/p"
std::string ListText(const std::vector<std::string>& items);  // "a,b"

}  // namespace orvanta::onvif

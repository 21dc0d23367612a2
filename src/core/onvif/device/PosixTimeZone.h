// The PC's time zone as the POSIX TZ string cameras take ("CET-1CEST,M3.5.0,
// M10.5.0/3"). A zone file (TZif version 2 or later) ends with exactly that
// string, so it is read from the file rather than rebuilt from rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvanta::onvif {

// The footer string of the TZif data in `file`, nullopt when it has none
// (version 1 files) or is no TZif data.
std::optional<std::string> TzifFooter(std::string_view file);

// The zone named by a zone name ("Europe/Berlin") under the zoneinfo folder.
std::optional<std::string> PosixTimeZoneFor(const std::string& zoneName,
                                            const std::string& zoneinfo = "/usr/share/zoneinfo");

// The PC's zone: TZ when it holds a POSIX string or names a zone, else
// /etc/localtime; "UTC0" when neither says anything.
std::string LocalPosixTimeZone();

// Text a camera can take as a POSIX TZ string: printable ASCII, a name of
// three or more letters (or <...>), no more than 64 bytes.
bool LooksLikePosixTimeZone(std::string_view tz);

}  // namespace orvanta::onvif

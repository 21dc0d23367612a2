// The document a customer gets when a site is handed over: one printable,
// self-contained HTML file (its style inline, its pictures as data: URIs,
// no script, nothing fetched), one row per camera. Every text that came
// from a camera or a plan is escaped: a camera named "<script>" is shown
// by that name, never run.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta::report {

// A picture larger than this is named in the report but left out of it,
// so a hundred cameras' pictures still make a file a mail takes. The
// window hands over thumbnails well below it; the command line, which
// cannot scale a picture, hands over the camera's own.
inline constexpr std::size_t kMaxReportPictureBytes = 1u << 20;

struct ReportCamera {
    std::string kind;                  // "ONVIF" or "ours"
    std::string address, mac, hostname;
    std::string maker, model, firmware, serial;
    std::vector<std::string> streams;  // stream addresses
    std::string status;                // the plan's word for the row ("done", ...) or "read"
    std::vector<std::string> changes;  // "field: before → after", as the plan made them
    std::string when;                  // ISO 8601 UTC
    std::string note;                  // what could not be read, or why the row failed
    std::string jpeg;                  // the picture (a JPEG file), empty when none
    std::string noPicture;             // why there is none, when there is none
};

struct ReportHeading {
    std::string title = "Camera handover report";
    std::string site;                  // optional: the customer's or the site's name
    std::string written;               // ISO 8601 UTC
    std::string source;                // what the report was made from (targets, a plan result)
};

// Text as HTML character data or a quoted attribute value.
std::string HtmlEscape(std::string_view text);

std::string WriteHandoverReport(const ReportHeading& heading, const std::vector<ReportCamera>& cameras);

}  // namespace orvanta::report

#include "core/report/HandoverReport.h"

#include "core/http/Base64.h"

namespace orvanta::report {

namespace {

// Printable on A4 landscape and readable on a screen: the table breaks
// between rows, never inside one, and its header repeats on every page.
constexpr const char* kStyle = R"(
body { font-family: sans-serif; font-size: 10pt; margin: 1.5em; color: #111; }
h1 { font-size: 16pt; margin: 0 0 .2em 0; }
p.meta { color: #444; margin: 0 0 1em 0; }
table { border-collapse: collapse; width: 100%; }
th, td { border: 1px solid #999; padding: 4px 6px; vertical-align: top; text-align: left; }
th { background: #e8e8e8; }
thead { display: table-header-group; }
tr { page-break-inside: avoid; break-inside: avoid; }
td.picture { width: 168px; }
td.picture img { width: 160px; height: auto; display: block; }
.none { color: #777; font-style: italic; }
.note { color: #8a1c1c; }
ul { margin: 0; padding-left: 1.1em; }
code { font-size: 9pt; word-break: break-all; }
@page { size: A4 landscape; margin: 12mm; }
@media print { body { margin: 0; } }
)";

std::string Cell(const std::string& text) {
    return text.empty() ? "<td class=\"none\">\u2014</td>" : "<td>" + HtmlEscape(text) + "</td>";
}

std::string List(const std::vector<std::string>& items, bool code) {
    if (items.empty()) return "<td class=\"none\">\u2014</td>";
    std::string out = "<td><ul>";
    for (const std::string& i : items)
        out += code ? "<li><code>" + HtmlEscape(i) + "</code></li>" : "<li>" + HtmlEscape(i) + "</li>";
    return out + "</ul></td>";
}

std::string Picture(const ReportCamera& c) {
    if (!c.jpeg.empty() && c.jpeg.size() <= kMaxReportPictureBytes)
        return "<td class=\"picture\"><img alt=\"" + HtmlEscape("Picture from " + (c.hostname.empty() ? c.address : c.hostname)) +
               "\" src=\"data:image/jpeg;base64," + Base64Encode(c.jpeg) + "\"></td>";
    std::string why = c.noPicture;
    if (!c.jpeg.empty())
        why = "the picture (" + std::to_string(c.jpeg.size() >> 10) + " KiB) is too large for the report";
    return "<td class=\"picture none\">" + HtmlEscape(why.empty() ? "no picture" : why) + "</td>";
}

std::string PlanCell(const ReportCamera& c) {
    std::string out = "<td>";
    if (!c.status.empty()) out += "<b>" + HtmlEscape(c.status) + "</b>";
    if (!c.changes.empty()) {
        out += "<ul>";
        for (const std::string& change : c.changes) out += "<li>" + HtmlEscape(change) + "</li>";
        out += "</ul>";
    }
    if (!c.note.empty()) out += "<div class=\"note\">" + HtmlEscape(c.note) + "</div>";
    return out + "</td>";
}

std::string MakerModel(const ReportCamera& c) {
    if (c.maker.empty() || c.model.empty()) return c.maker + c.model;
    return c.maker + " " + c.model;
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        switch (ch) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                // Control characters have no place in a document; a line
                // end or tab in a camera's text reads as a space.
                if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) out += ' ';
                else out += ch;
        }
    }
    return out;
}

std::string WriteHandoverReport(const ReportHeading& heading, const std::vector<ReportCamera>& cameras) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                      // Nothing in this file may reach out or run: the policy
                      // says so to any browser that opens it.
                      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                      "img-src data:; style-src 'unsafe-inline'\">\n<title>" +
                      HtmlEscape(heading.title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n<h1>" +
                      HtmlEscape(heading.title) + "</h1>\n<p class=\"meta\">";
    if (!heading.site.empty()) out += HtmlEscape(heading.site) + " \u00b7 ";
    out += std::to_string(cameras.size()) + (cameras.size() == 1 ? " camera" : " cameras");
    if (!heading.written.empty()) out += " \u00b7 written " + HtmlEscape(heading.written);
    if (!heading.source.empty()) out += " \u00b7 from " + HtmlEscape(heading.source);
    out += "</p>\n<table>\n<thead><tr><th>Picture</th><th>Kind</th><th>Address</th><th>MAC</th><th>Host name</th>"
           "<th>Maker and model</th><th>Firmware</th><th>Serial</th><th>Streams</th><th>Set up</th><th>When</th>"
           "</tr></thead>\n<tbody>\n";
    for (const ReportCamera& c : cameras) {
        out += "<tr>" + Picture(c) + Cell(c.kind) + Cell(c.address) + Cell(c.mac) + Cell(c.hostname) +
               Cell(MakerModel(c)) + Cell(c.firmware) + Cell(c.serial) + List(c.streams, true) + PlanCell(c) +
               Cell(c.when) + "</tr>\n";
    }
    return out + "</tbody>\n</table>\n</body>\n</html>\n";
}

}  // namespace orvanta::report

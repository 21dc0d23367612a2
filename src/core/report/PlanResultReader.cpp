#include "core/report/PlanResultReader.h"

#include <map>
#include <optional>
#include <regex>

#include "core/provision/PlanTable.h"

namespace orvanta::report {

namespace {

std::vector<std::string> SplitChanges(const std::string& text) {
    // The run joins its changes with "; " (a value never holds one: lists
    // are joined by commas or spaces).
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("; ", start);
        out.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return out;
}

// A run prints its seconds to a tenth; the plan reader takes whole numbers
// only (a plan's settings never hold fractions), so they are read as text.
std::string SecondsAsText(std::string_view json) {
    static const std::regex seconds("(\"seconds\"\\s*:\\s*)(-?[0-9]+(\\.[0-9]+)?([eE][+-]?[0-9]+)?)");
    return std::regex_replace(std::string(json), seconds, "$1\"$2\"");
}

}  // namespace

bool ReadPlanResult(std::string_view text, std::vector<ReportCamera>& cameras, std::string& why) {
    cameras.clear();
    const std::size_t first = text.find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    const bool json = first != std::string_view::npos && (text[first] == '[' || text[first] == '{');
    std::vector<provision::PlanTableRow> rows;
    if (!(json ? provision::ReadJsonTable(SecondsAsText(text), rows, why) : provision::ReadCsvTable(text, rows, why))) {
        why = "not the result of a plan run: " + why;
        return false;
    }
    if (rows.empty()) {
        why = "the plan result lists no camera";
        return false;
    }
    for (const provision::PlanTableRow& row : rows) {
        std::map<std::string, std::string> cell;
        for (const auto& [key, value] : row.cells) cell[key] = value.value_or("");
        if (!cell.count("status") || !cell.count("camera")) {
            why = row.where + " has no camera and status: not the result of a plan run (give the JSON or CSV that "
                              "provision printed, not the plan)";
            return false;
        }
        ReportCamera c;
        c.kind = cell["kind"] == "onvif" ? "ONVIF" : cell["kind"] == "native" ? "ours" : "";
        c.address = !cell["new_address"].empty() ? cell["new_address"] : cell["old_address"];
        if (c.address.empty()) c.address = cell["camera"];
        c.mac = cell["mac"];
        c.serial = cell["serial"];
        c.status = cell["status"];
        c.changes = SplitChanges(cell["changes"]);
        c.note = cell["detail"];
        c.when = cell["finished"];
        cameras.push_back(std::move(c));
    }
    return true;
}

}  // namespace orvanta::report

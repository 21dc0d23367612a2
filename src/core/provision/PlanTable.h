// The two spellings of a plan, read into one shape: named cells per row.
// No meaning is given to keys or values here; PlanFile checks them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvanta::provision {

struct PlanTableRow {
    std::string where;  // "line N" or "row N"
    // Key and value; no value for an empty CSV cell or a JSON null.
    std::vector<std::pair<std::string, std::optional<std::string>>> cells;
};

// A header line of keys, then one row a line. Cells may be quoted ("" is a
// quote inside quotes; a quoted cell may span lines). A cell that our own
// writer guarded against spreadsheet formulas ('=..., '+..., '-..., '@...)
// gets its value back. A row with more cells than the header is an error;
// fewer leaves the rest empty; blank lines are skipped.
bool ReadCsvTable(std::string_view text, std::vector<PlanTableRow>& rows, std::string& why);

// An array of flat objects (or one object). Values: strings, whole numbers,
// true/false (as 1/0) and null. Nested values and repeated keys are errors.
bool ReadJsonTable(std::string_view text, std::vector<PlanTableRow>& rows, std::string& why);

}  // namespace orvanta::provision

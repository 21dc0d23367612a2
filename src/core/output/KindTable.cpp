#include "core/output/KindTable.h"

#include <algorithm>

namespace orvanta::output {

OutputTable KindTable(const std::vector<std::pair<std::string, OutputTable>>& kinds) {
    OutputTable all;
    all.columns.push_back("kind");
    for (const auto& [kind, table] : kinds)
        for (const std::string& column : table.columns)
            if (std::find(all.columns.begin(), all.columns.end(), column) == all.columns.end())
                all.columns.push_back(column);
    for (const auto& [kind, table] : kinds) {
        for (const auto& row : table.rows) {
            std::vector<OutputValue> cells(all.columns.size(), OutputValue::Absent());
            cells[0] = OutputValue::Text(kind);
            for (std::size_t c = 0; c < table.columns.size() && c < row.size(); ++c) {
                const auto at = std::find(all.columns.begin(), all.columns.end(), table.columns[c]);
                cells[static_cast<std::size_t>(at - all.columns.begin())] = row[c];
            }
            all.rows.push_back(std::move(cells));
        }
    }
    return all;
}

}  // namespace orvanta::output

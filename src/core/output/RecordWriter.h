// Rows of named values written as text, CSV or JSON: the one writer behind
// every listing the command-line tool prints and the search page exports.
// Every cell is made safe for the format's reader (see OutputText.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvanta::output {

enum class OutputFormat { Text, Csv, Json };

// "text", "csv" or "json"; false for anything else.
bool ParseOutputFormat(std::string_view name, OutputFormat& format);

// One cell. Numbers are the program's own and go out bare in JSON and CSV;
// text is whatever a camera sent and is escaped for each format.
struct OutputValue {
    // Absent: the row has no such key (a listing of several kinds of
    // record): JSON leaves the key out, CSV and text leave the cell empty.
    enum class Kind { Text, Number, Null, Absent };
    Kind kind = Kind::Null;
    std::string text;  // the text, or a number's decimal digits

    static OutputValue Text(std::string_view text);
    static OutputValue Number(long long value);
    static OutputValue Null();  // JSON null, an empty cell elsewhere
    static OutputValue Absent();
};

struct OutputTable {
    std::vector<std::string> columns;              // snake_case keys, in order
    std::vector<std::vector<OutputValue>> rows;    // one value per column
};

// The whole table.
//  text: a header line of column names, then one line a row, cells split by
//        tabs; control bytes and backslash become \xNN, C1 and bidirectional
//        controls '?', so a row stays one line, in its own order, and sends
//        nothing to a terminal.
//  csv:  a header line, then one row a line (a line break inside a cell is
//        kept inside its quotes).
//  json: an array of objects, one object a line, keys in column order.
// `terminal`: stdout is a terminal; CSV cells then lose their control
// characters as well (text is always safe, JSON escapes them anyway).
std::string WriteTable(OutputFormat format, const OutputTable& table, bool terminal = false);

// One row as a JSON object, one key a line: for a single result.
std::string WriteJsonObject(const std::vector<std::string>& columns, const std::vector<OutputValue>& row);

}  // namespace orvanta::output

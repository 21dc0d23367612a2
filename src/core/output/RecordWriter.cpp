#include "core/output/RecordWriter.h"

#include <cstdio>

#include "core/base/OutputText.h"

namespace orvanta::output {

namespace {

std::string TextCell(std::string_view s) {
    // Run through the terminal filter first so C1 controls, raw or UTF-8,
    // show as '?' too; then every remaining control and the backslash are
    // written as \xNN so the escaping stays readable and unambiguous.
    std::string out;
    char buf[8];
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == '\\') {
            std::snprintf(buf, sizeof buf, "\\x%02X", b);
            out += buf;
        } else {
            out += c;
        }
    }
    return TerminalSafe(out);
}

std::string JsonValue(const OutputValue& v) {
    switch (v.kind) {
        case OutputValue::Kind::Text: return JsonString(v.text);
        case OutputValue::Kind::Number: return v.text;
        case OutputValue::Kind::Null:
        case OutputValue::Kind::Absent: return "null";
    }
    return "null";
}

std::string Cell(OutputFormat format, const OutputValue& v, bool terminal) {
    if (v.kind == OutputValue::Kind::Null || v.kind == OutputValue::Kind::Absent) return "";
    if (v.kind == OutputValue::Kind::Number) return v.text;
    if (format == OutputFormat::Text) return TextCell(v.text);
    std::string cell = CsvCell(v.text);
    return terminal ? TerminalSafe(cell) : cell;
}

}  // namespace

bool ParseOutputFormat(std::string_view name, OutputFormat& format) {
    if (name == "text") format = OutputFormat::Text;
    else if (name == "csv") format = OutputFormat::Csv;
    else if (name == "json") format = OutputFormat::Json;
    else return false;
    return true;
}

OutputValue OutputValue::Text(std::string_view text) {
    OutputValue v;
    v.kind = Kind::Text;
    v.text = std::string(text);
    return v;
}

OutputValue OutputValue::Number(long long value) {
    OutputValue v;
    v.kind = Kind::Number;
    v.text = std::to_string(value);
    return v;
}

OutputValue OutputValue::Null() { return OutputValue{}; }

OutputValue OutputValue::Absent() {
    OutputValue v;
    v.kind = Kind::Absent;
    return v;
}

std::string WriteTable(OutputFormat format, const OutputTable& table, bool terminal) {
    std::string out;
    if (format == OutputFormat::Json) {
        out += "[";
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            out += r ? ",\n  {" : "\n  {";
            bool first = true;
            for (std::size_t c = 0; c < table.columns.size(); ++c) {
                if (c < table.rows[r].size() && table.rows[r][c].kind == OutputValue::Kind::Absent) continue;
                if (!first) out += ", ";
                first = false;
                out += JsonString(table.columns[c]) + ": ";
                out += c < table.rows[r].size() ? JsonValue(table.rows[r][c]) : "null";
            }
            out += "}";
        }
        out += table.rows.empty() ? "]\n" : "\n]\n";
        return out;
    }
    const char* separator = format == OutputFormat::Csv ? "," : "\t";
    const char* lineEnd = "\n";
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        if (c) out += separator;
        out += table.columns[c];
    }
    out += lineEnd;
    for (const auto& row : table.rows) {
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            if (c) out += separator;
            if (c < row.size()) out += Cell(format, row[c], terminal);
        }
        out += lineEnd;
    }
    return out;
}

std::string WriteJsonObject(const std::vector<std::string>& columns, const std::vector<OutputValue>& row) {
    std::string out = "{";
    for (std::size_t c = 0; c < columns.size(); ++c) {
        out += c ? ",\n  " : "\n  ";
        out += JsonString(columns[c]) + ": ";
        out += c < row.size() ? JsonValue(row[c]) : "null";
    }
    out += columns.empty() ? "}\n" : "\n}\n";
    return out;
}

}  // namespace orvanta::output

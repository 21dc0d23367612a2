// Any bytes as camera text through the CSV, JSON and terminal writers: the
// JSON must be valid UTF-8 with no raw control character (C0, DEL, C1), a CSV
// row must stay one row and start no formula, also split on ';', and
// terminal text must hold no control character.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/base/OutputText.h"
#include "core/output/RecordWriter.h"

namespace {

// True when `s` is well-formed UTF-8 (no overlongs, surrogates or > U+10FFFF).
bool WellFormed(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        if (len == 0 || i + len > s.size()) return false;
        uint32_t cp = len == 1 ? b : b & (0xFF >> (len + 1));
        for (std::size_t k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvanta::output;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const std::string json = JsonString(text);
    if (!WellFormed(json) || json.size() < 2 || json.front() != '"' || json.back() != '"') __builtin_trap();
    for (std::size_t i = 0; i < json.size(); ++i) {
        const auto b = static_cast<unsigned char>(json[i]);
        if (b < 0x20 || b == 0x7F) __builtin_trap();
        if (b == 0xC2 && i + 1 < json.size() && static_cast<unsigned char>(json[i + 1]) <= 0x9F) __builtin_trap();
    }

    const std::string csv = CsvCell(text);
    const char first = csv.empty() ? '\0' : csv[0];
    if (first == '=' || first == '+' || first == '-' || first == '@' || first == '\t' || first == '\r') __builtin_trap();
    // A line break, comma or quote only ever inside a quoted cell.
    if (csv.find_first_of(",;\"\r\n") != std::string::npos && (first != '"' || csv.back() != '"')) __builtin_trap();
    // Split on ';' as some spreadsheets do: no piece starts a formula either.
    for (std::size_t semi = csv.find(';'); semi != std::string::npos; semi = csv.find(';', semi + 1)) {
        const char next = semi + 1 < csv.size() ? csv[semi + 1] : '\0';
        if (next == '=' || next == '+' || next == '-' || next == '@' || next == '\t' || next == '\r') __builtin_trap();
    }

    const std::string shown = TerminalSafe(text);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const auto b = static_cast<unsigned char>(shown[i]);
        if (b < 0x20 || b == 0x7F) __builtin_trap();
        if (b == 0xC2 && i + 1 < shown.size() && static_cast<unsigned char>(shown[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(shown[i + 1]) <= 0x9F)
            __builtin_trap();
    }

    // Whole tables: one header and one line a row in text, valid JSON text.
    OutputTable table;
    table.columns = {"a", "b"};
    table.rows.push_back({OutputValue::Text(text), OutputValue::Number(static_cast<long long>(size))});
    table.rows.push_back({OutputValue::Null(), OutputValue::Text(text)});
    const std::string lines = WriteTable(OutputFormat::Text, table);
    std::size_t newlines = 0;
    for (const char c : lines) newlines += c == '\n';
    if (newlines != 3) __builtin_trap();
    if (!WellFormed(WriteTable(OutputFormat::Json, table)) || !WellFormed(WriteJsonObject(table.columns, table.rows[0])))
        __builtin_trap();
    return 0;
}

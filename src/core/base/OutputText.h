// Camera- and server-provided text made safe for the reader of each output
// format: JSON parsers (valid UTF-8 only), terminals (no control sequences)
// and spreadsheets (no formulas). Bidirectional controls (U+202A..U+202E,
// U+2066..U+2069) are treated like control characters everywhere: shown
// as they are, they reorder the text after them, so a camera could make a
// name, address or whole line read as something else. Pure functions, no Qt.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::output {

// The bidirectional control (embedding, override or isolate) whose UTF-8
// form starts at text[i], or 0 when none does.
char32_t BidiControlAt(std::string_view text, std::size_t i);

// Valid UTF-8 passes through; every byte that does not start a valid
// sequence (stray continuation bytes, truncated, overlong or surrogate
// forms, values beyond U+10FFFF, 0xF5..0xFF) becomes U+FFFD.
std::string ValidUtf8(std::string_view text);

// A JSON string literal, quotes included: valid UTF-8, with quote, backslash,
// every control character (C0, DEL and C1, U+0080..U+009F) and every
// bidirectional control escaped (\u202e).
std::string JsonString(std::string_view text);

// One CSV cell. A cell that begins with '=', '+', '-', '@', tab or CR is
// what a spreadsheet runs as a formula: it gets a leading apostrophe and is
// quoted. A cell holding a comma, semicolon, quote, CR or LF is quoted with
// its quotes doubled; after each semicolon (where a spreadsheet that splits
// on ';' starts a cell) the same guard applies. A bidirectional control
// becomes '?', in a file too: a spreadsheet obeys it. Numbers the program
// writes itself do not come through here.
std::string CsvCell(std::string_view text);

// Text for a terminal: C0 controls, DEL and C1 controls (as raw bytes and as
// UTF-8 U+0080..U+009F) and bidirectional controls become '?', so nothing a
// camera sends can move the cursor, retitle the window, start an escape
// sequence or reorder the line. Other bytes stay.
std::string TerminalSafe(std::string_view text);

}  // namespace orvanta::output

#include "core/base/OutputText.h"

#include <cstdint>
#include <cstdio>

namespace orvanta::output {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t len;
    uint32_t cp;
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; }
    else if (b >= 0xE0 && b <= 0xEF) { len = 3; cp = b & 0x0F; }
    else if (b >= 0xF0 && b <= 0xF4) { len = 4; cp = b & 0x07; }
    else return 0;
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(s[i + k]);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values beyond Unicode are not text.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

}  // namespace

char32_t BidiControlAt(std::string_view text, std::size_t i) {
    if (i + 3 > text.size() || static_cast<unsigned char>(text[i]) != 0xE2) return 0;
    const auto b1 = static_cast<unsigned char>(text[i + 1]);
    const auto b2 = static_cast<unsigned char>(text[i + 2]);
    // U+202A..U+202E are E2 80 AA..AE; U+2066..U+2069 are E2 81 A6..A9.
    if ((b1 == 0x80 && b2 >= 0xAA && b2 <= 0xAE) || (b1 == 0x81 && b2 >= 0xA6 && b2 <= 0xA9))
        return 0x2000 + ((b1 & 0x3F) << 6) + (b2 & 0x3F);
    return 0;
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (const std::size_t len = Utf8SequenceLength(text, i); len > 0) {
            out.append(text.substr(i, len));
            i += len;
        } else {
            out.append(kReplacement);
            ++i;
        }
    }
    return out;
}

std::string JsonString(std::string_view text) {
    const std::string valid = ValidUtf8(text);
    std::string out = "\"";
    out.reserve(valid.size() + 2);
    char buf[12];
    for (std::size_t i = 0; i < valid.size(); ++i) {
        const auto b = static_cast<unsigned char>(valid[i]);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += valid[i];
        } else if (b < 0x20 || b == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\u%04x", b);
            out += buf;
        } else if (b == 0xC2 && i + 1 < valid.size() && static_cast<unsigned char>(valid[i + 1]) <= 0x9F) {
            // U+0080..U+009F: legal in JSON, but a terminal that shows the
            // output obeys them (U+009B starts a control sequence).
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(valid[++i]));
            out += buf;
        } else if (const char32_t bidi = BidiControlAt(valid, i)) {
            // Legal too, but a terminal or viewer showing the output would
            // reorder what follows; escaped, it reads as what it is.
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(bidi));
            out += buf;
            i += 2;
        } else {
            out += valid[i];
        }
    }
    out += '"';
    return out;
}

namespace {

// Each bidirectional control as '?': a spreadsheet obeys them as a terminal
// does, and shows a cell's text in an order the camera chose.
std::string WithoutBidiControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (BidiControlAt(text, i)) {
            out += '?';
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool StartsFormula(std::string_view text) {
    return !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@' ||
                             text[0] == '\t' || text[0] == '\r');
}

}  // namespace

std::string CsvCell(std::string_view raw) {
    const std::string kept = WithoutBidiControls(raw);
    const std::string_view text = kept;
    const bool formula = StartsFormula(text);
    if (!formula && text.find_first_of(",;\"\r\n") == std::string_view::npos) return kept;
    std::string out = formula ? "\"'" : "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') out += '"';
        out += c;
        // A spreadsheet set to split on ';' starts a new cell here, quotes
        // or not: what follows is guarded like the start of a cell.
        if (c == ';' && StartsFormula(text.substr(i + 1))) out += '\'';
    }
    out += '"';
    return out;
}

std::string TerminalSafe(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t len = Utf8SequenceLength(text, i);
        if (b < 0x20 || b == 0x7F || (b >= 0x80 && b <= 0x9F)) {
            out += '?';
            ++i;
        } else if (len == 2 && b == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            out += '?';  // U+0080..U+009F
            i += 2;
        } else if (BidiControlAt(text, i)) {
            out += '?';
            i += 3;
        } else if (len > 1) {
            out.append(text.substr(i, len));
            i += len;
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

}  // namespace orvanta::output

#include "core/settings/SettingsText.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/settings/CameraKeys.h"
#include "core/base/AddressText.h"

namespace orvanta {

namespace {

using Field = CameraKey;

bool IsText(const Field& f) { return f.field.type == FieldType::Chars; }
bool IsIpv4(const Field& f) { return f.kind == KeyKind::Ipv4; }

// The value as plain text (text fields unescaped).
std::string ValueOf(const CameraSettings& s, const Field& f) {
    switch (f.field.type) {
        case FieldType::Chars: return std::string(FieldTextOf(s, f));
        case FieldType::Bytes6: return FormatMac(reinterpret_cast<const uint8_t*>(FieldBytes(s, f)));
        case FieldType::U32:
            if (IsIpv4(f)) return FormatIpv4(static_cast<uint32_t>(FieldNumberOf(s, f)));
            [[fallthrough]];
        case FieldType::U8:
        case FieldType::I32: return std::to_string(FieldNumberOf(s, f));
    }
    return "";
}

std::string EscapeLine(std::string_view v) {
    std::string out;
    for (const char c : v) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::string UnescapeLine(std::string_view v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '\\' && i + 1 < v.size() && (v[i + 1] == '\\' || v[i + 1] == 'n' || v[i + 1] == 'r')) {
            const char e = v[++i];
            out += e == 'n' ? '\n' : e == 'r' ? '\r' : '\\';
        } else {
            out += v[i];
        }
    }
    return out;
}

// Length of a valid UTF-8 sequence at `i`, 0 when the byte starts none.
std::size_t Utf8Sequence(std::string_view v, std::size_t i) {
    const unsigned char b = static_cast<unsigned char>(v[i]);
    const std::size_t n = b >= 0xF0 && b < 0xF5 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 0;
    if (n == 0 || b >= 0xF5 || i + n > v.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(v[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

// The code point of a C1 control (U+0080..U+009F) or a bidirectional
// control (U+202A..U+202E, U+2066..U+2069) as one UTF-8 sequence, else 0.
char32_t FormattingControl(std::string_view seq) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(seq[k]); };
    if (seq.size() == 2 && b(0) == 0xC2 && b(1) <= 0x9F) return b(1);
    if (seq.size() == 3 && b(0) == 0xE2 && ((b(1) == 0x80 && b(2) >= 0xAA && b(2) <= 0xAE) ||
                                            (b(1) == 0x81 && b(2) >= 0xA6 && b(2) <= 0xA9)))
        return 0x2000 + ((b(1) & 0x3F) << 6) + (b(2) & 0x3F);
    return 0;
}

std::string JsonString(std::string_view v) {
    std::string out = "\"";
    char buf[12];
    for (std::size_t i = 0; i < v.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(v[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const std::size_t n = Utf8Sequence(v, i); n != 0) {
            if (const char32_t shown = FormattingControl(v.substr(i, n))) {
                // Legal JSON, but a terminal or viewer showing it obeys it.
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(shown));
                out += buf;
            } else {
                out.append(v.substr(i, n));
            }
            i += n - 1;
        } else {
            // 8-bit code-page text: shown as the Latin-1 character so the JSON stays valid.
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        }
    }
    return out + "\"";
}

bool ParseLong(const std::string& text, long long lo, long long hi, long long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool Assign(CameraSettings& s, const Field& f, const std::string& value) {
    char* p = FieldBytes(s, f);
    long long v = 0;
    switch (f.field.type) {
        case FieldType::U8:
            if (!ParseLong(value, 0, 255, v)) return false;
            break;
        case FieldType::U32:
            if (IsIpv4(f)) {
                uint32_t a = 0;
                if (!value.empty() && !ParseIpv4(value, a)) return false;
                v = a;
            } else if (!ParseLong(value, 0, UINT32_MAX, v)) {
                return false;
            }
            break;
        case FieldType::I32:
            if (!ParseLong(value, INT32_MIN, INT32_MAX, v)) return false;
            break;
        case FieldType::Bytes6: return ParseMac(value, reinterpret_cast<uint8_t*>(p));
        case FieldType::Chars:
            if (value.size() >= f.field.size || value.find('\0') != std::string::npos) return false;
            std::memset(p, 0, f.field.size);
            std::memcpy(p, value.data(), value.size());
            return true;
    }
    SetFieldNumber(s, f, v);
    return true;
}

}  // namespace

std::string WriteSettingsText(const CameraSettings& settings) {
    std::string out;
    for (const Field* f : CameraKeysInRecordOrder()) {
        out += f->field.name;
        out += '=';
        out += IsText(*f) ? EscapeLine(FieldTextOf(settings, *f)) : ValueOf(settings, *f);
        out += '\n';
    }
    return out;
}

std::string WriteSettingsJson(const CameraSettings& settings) {
    std::string out = "{\n";
    bool first = true;
    for (const Field* f : CameraKeysInRecordOrder()) {
        if (!first) out += ",\n";
        first = false;
        out += "  \"";
        out += f->field.name;
        out += "\": ";
        const bool quoted = IsText(*f) || f->field.type == FieldType::Bytes6 || IsIpv4(*f);
        out += quoted ? JsonString(ValueOf(settings, *f)) : ValueOf(settings, *f);
    }
    return out + "\n}\n";
}

bool ReadSettingsText(std::string_view text, CameraSettings& settings, std::string& error,
                      std::vector<std::string>* named) {
    std::size_t lineNo = 0;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#' || line[0] == ';' || line[0] == '[') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            error = "line " + std::to_string(lineNo) + ": expected Field=value";
            return false;
        }
        const std::string_view name = line.substr(0, eq);
        const Field* field = nullptr;
        for (const Field* f : CameraKeysInRecordOrder())
            if (name == f->field.name) field = f;
        if (field == nullptr) {
            error = "line " + std::to_string(lineNo) + ": unknown field '" + std::string(name) + "'";
            return false;
        }
        const std::string raw(line.substr(eq + 1));
        if (!Assign(settings, *field, IsText(*field) ? UnescapeLine(raw) : raw)) {
            error = "line " + std::to_string(lineNo) + ": bad value for " + field->field.name;
            if (IsText(*field)) error += " (at most " + std::to_string(field->field.size - 1) + " bytes)";
            return false;
        }
        if (named) named->emplace_back(field->field.name);
    }
    return true;
}

}  // namespace orvanta

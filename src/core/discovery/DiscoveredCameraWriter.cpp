#include "core/discovery/DiscoveredCameraWriter.h"

#include <cstdio>

#include "core/settings/FixedField.h"

namespace orvanta::discovery {

namespace {

struct Column {
    const char* name;
    std::string_view (*get)(const DiscoveredCamera&);
};

// The list's column order, then what the list does not show.
const Column kColumns[] = {
    {"ip", [](const DiscoveredCamera& c) { return FieldText(c.IpText); }},
    {"mac", [](const DiscoveredCamera& c) { return FieldText(c.MacText); }},
    {"port", [](const DiscoveredCamera& c) { return FieldText(c.PortText); }},
    {"desc_interface", [](const DiscoveredCamera& c) { return FieldText(c.DescInterface); }},
    {"sport", [](const DiscoveredCamera& c) { return FieldText(c.SportText); }},
    {"serial", [](const DiscoveredCamera& c) { return FieldText(c.SerialNo); }},
    {"mask", [](const DiscoveredCamera& c) { return FieldText(c.MaskText); }},
    {"fourth", [](const DiscoveredCamera& c) { return FieldText(c.FourthText); }},
};

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

}  // namespace

bool DiscoveredCameraWriter::ParseFormat(std::string_view name, RecordFormat& format) {
    if (name == "text") format = RecordFormat::Text;
    else if (name == "csv") format = RecordFormat::Csv;
    else if (name == "json") format = RecordFormat::Json;
    else return false;
    return true;
}

std::string DiscoveredCameraWriter::JsonString(std::string_view s) {
    std::string out = "\"";
    char buf[8];
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += static_cast<char>(b);
            ++i;
        } else if (b < 0x20 || b == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\u%04x", b);
            out += buf;
            ++i;
        } else if (const std::size_t len = Utf8SequenceLength(s, i); len > 0) {
            out.append(s.substr(i, len));
            i += len;
        } else {
            std::snprintf(buf, sizeof buf, "\\u%04x", b);
            out += buf;
            ++i;
        }
    }
    out += '"';
    return out;
}

std::string DiscoveredCameraWriter::CsvField(std::string_view s) {
    if (s.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(s);
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string DiscoveredCameraWriter::PlainField(std::string_view s) {
    std::string out;
    char buf[8];
    for (char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || b == '\\') {
            std::snprintf(buf, sizeof buf, "\\x%02X", b);
            out += buf;
        } else {
            out += c;
        }
    }
    return out;
}

std::string DiscoveredCameraWriter::Write(RecordFormat format, const DiscoveredCamera* records,
                                          int count) {
    std::string out;
    if (format == RecordFormat::Json) out += "[";
    if (format != RecordFormat::Json) {
        // One header line naming the columns.
        for (const auto& col : kColumns) {
            if (&col != kColumns) out += format == RecordFormat::Csv ? "," : "\t";
            out += col.name;
        }
        out += "\n";
    }
    for (int i = 0; records && i < count; ++i) {
        const DiscoveredCamera& cam = records[i];
        if (format == RecordFormat::Json) out += i ? ",\n  {" : "\n  {";
        for (const auto& col : kColumns) {
            const bool first = &col == kColumns;
            switch (format) {
                case RecordFormat::Json:
                    if (!first) out += ", ";
                    out += JsonString(col.name) + ": " + JsonString(col.get(cam));
                    break;
                case RecordFormat::Csv:
                    if (!first) out += ",";
                    out += CsvField(col.get(cam));
                    break;
                case RecordFormat::Text:
                    if (!first) out += "\t";
                    out += PlainField(col.get(cam));
                    break;
            }
        }
        out += format == RecordFormat::Json ? "}" : "\n";
    }
    if (format == RecordFormat::Json) out += count > 0 ? "\n]\n" : "]\n";
    return out;
}

}  // namespace orvanta::discovery

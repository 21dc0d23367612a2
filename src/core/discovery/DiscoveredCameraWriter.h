// Writes found cameras as text, CSV or JSON for the command-line tool. Every
// field is camera-provided 8-bit text, so each format escapes whatever the
// camera sent: the output stays one line or object per camera, valid CSV and
// valid UTF-8 JSON whatever the bytes.
#pragma once

#include <string>
#include <string_view>

#include "core/discovery/DiscoveredCamera.h"

namespace orvanta::discovery {

enum class RecordFormat { Text, Csv, Json };

class DiscoveredCameraWriter {
public:
    // "text", "csv" or "json"; false for anything else.
    static bool ParseFormat(std::string_view name, RecordFormat& format);

    // The whole listing of `count` records in the given format.
    static std::string Write(RecordFormat format, const DiscoveredCamera* records, int count);

    // A JSON string literal, quotes included. Valid UTF-8 passes through;
    // bytes that are not (a camera's 8-bit code page) become \u00XX, their
    // Latin-1 reading, so the document always parses.
    static std::string JsonString(std::string_view text);
    // One CSV field: quoted, with quotes doubled, when it holds a comma,
    // quote, CR or LF.
    static std::string CsvField(std::string_view text);
    // Text for a terminal: control bytes become \xNN, so a camera cannot
    // break the one-line-per-camera layout or send escape sequences.
    static std::string PlainField(std::string_view text);
};

}  // namespace orvanta::discovery

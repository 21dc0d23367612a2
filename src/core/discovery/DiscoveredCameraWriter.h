// Found cameras as text, CSV or JSON: what `orvanta-cli discover` prints and
// the search page exports. Cameras come out sorted by address (then MAC), the
// ports as numbers, the model and the interface the camera reports as
// separate columns. Every text is the camera's own and is escaped by the
// shared writer (core/output), so each format stays parseable and safe.
#pragma once

#include <string>
#include <string_view>

#include "core/discovery/DiscoveredCamera.h"
#include "core/output/RecordWriter.h"

namespace orvanta::discovery {

using RecordFormat = output::OutputFormat;

class DiscoveredCameraWriter {
public:
    // "text", "csv" or "json"; false for anything else.
    static bool ParseFormat(std::string_view name, RecordFormat& format);

    // The columns and rows of `count` records, sorted.
    static output::OutputTable Table(const DiscoveredCamera* records, int count);

    // The whole listing in the given format. `terminal`: the text goes to a
    // terminal (see output::WriteTable).
    static std::string Write(RecordFormat format, const DiscoveredCamera* records, int count,
                             bool terminal = false);
};

}  // namespace orvanta::discovery

// The settings record as "Field=value" lines (and as JSON), and back: what
// `orvanta-cli read` prints is what `orvanta-cli save` takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/settings/CameraSettings.h"

namespace orvanta {

// Every field in record order, one "Field=value" line each. Addresses in
// network byte order print dotted, the MAC as six hex pairs; CR, LF and
// backslash in text are written as \r, \n and \\ so every value stays on its line.
std::string WriteSettingsText(const CameraSettings& settings);

// The same fields as one JSON object.
std::string WriteSettingsJson(const CameraSettings& settings);

// Applies the lines of `text` to `settings`; fields not named keep their
// value. Blank lines, "#"/";" comments and "[section]" lines are skipped.
// Returns false with a message naming the line for an unknown field, a bad
// number, or a text longer than its field (never cut silently).
// `named` (optional) receives the name of every field the text set.
bool ReadSettingsText(std::string_view text, CameraSettings& settings, std::string& error,
                      std::vector<std::string>* named = nullptr);

}  // namespace orvanta

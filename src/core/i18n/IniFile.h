// Reading and writing the wizard's INI files (language files, defaultlang.ini)
// the way the Windows profile functions do: section and key names compare
// without regard to case, blanks around keys and values are trimmed, a value
// in double quotes loses them, and the first matching section and key win.
//
// Files may be UTF-16LE with a byte-order mark (how non-Latin language files
// are usually saved), UTF-8 with or without a BOM, or 8-bit text in the
// Windows-1252 code page. Everything handed back is UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/i18n/TextCapacity.h"

namespace orvanta {

// The value of [section] key in the file at `path`, cut to capacity-1
// characters (not bytes). A missing file, section or key gives "".
std::string ReadIniString(const std::string& path, std::string_view section, std::string_view key,
                          std::size_t capacity = kCaptionCapacity);

// Sets [section] key=value in the file at `path`, creating the file, section
// or key as needed and keeping every other line and the file's encoding. A new
// file is written as UTF-8 without a BOM. Returns false when the file cannot be
// written or when a name or the value would break the file's line structure
// (a line break anywhere, "=" in the key, "]" in the section).
bool WriteIniString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value);

}  // namespace orvanta

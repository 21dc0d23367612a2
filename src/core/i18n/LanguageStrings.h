// The lookup of one caption or message by section and key in the active
// language file. The file is read once when the object is made; a language
// change makes a new object. A missing file, section or key gives "".
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "core/i18n/IniDocument.h"

namespace orvanta {

class LanguageStrings {
public:
    LanguageStrings() = default;
    explicit LanguageStrings(std::string languageFilePath);

    const std::string& FilePath() const { return path_; }
    // True when the file could be read (an unreadable file still gives "" for
    // every lookup; this is only for diagnostics and tests).
    bool Loaded() const { return loaded_; }

    // The value cut to capacity-1 characters.
    std::string Get(std::string_view section, std::string_view key, std::size_t capacity = 260) const;

private:
    std::string path_;
    // Shared so that copies handed to pages do not re-read or duplicate it.
    std::shared_ptr<const IniDocument> doc_;
    bool loaded_ = false;
};

}  // namespace orvanta

// The lookup of one caption or message by section and key in the active
// language file. The file is read once when the object is made; a language
// change makes a new object.
//
// The English texts are compiled into the program. They answer for a file
// that is missing or refused, and for every section or key a file lacks or
// leaves empty, so a partial or broken translation never shows an empty
// caption. A refused file gives one diagnostic line naming it and the reason.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/i18n/IniDocument.h"
#include "core/i18n/TextCapacity.h"

namespace orvanta {

// The English language file as built into the program.
std::string_view BuiltInEnglishIni();

class LanguageStrings {
public:
    // Receives one diagnostic line (without a line break).
    using DiagnosticLine = std::function<void(const std::string&)>;

    // Language files are tens of kilobytes; a larger one is not a language
    // file and is refused rather than parsed (it would also slow the start).
    static constexpr std::size_t kMaxFileBytes = 1024u * 1024u;

    // The built-in English texts alone.
    LanguageStrings();
    // `report` gets the line about a refused file; without one it goes to
    // the diagnostic sink.
    explicit LanguageStrings(std::string languageFilePath, DiagnosticLine report = {});

    // True when the file could be read (lookups still answer from the
    // built-in English texts when it could not).
    bool Loaded() const { return loaded_; }
    // Why the file was refused ("" when it was read).
    const std::string& RefusedBecause() const { return refusedBecause_; }

    // The value cut to capacity-1 characters: the file's text, or the
    // built-in English one when the file has none.
    std::string Get(std::string_view section, std::string_view key, std::size_t capacity = kCaptionCapacity) const;

    // The built-in English texts, parsed once.
    static const IniDocument& English();

private:
    // Shared so that copies handed to pages do not re-read or duplicate it.
    std::shared_ptr<const IniDocument> doc_;
    bool loaded_ = false;
    std::string refusedBecause_;
};

}  // namespace orvanta

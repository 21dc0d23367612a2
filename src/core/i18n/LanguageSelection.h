// Choosing the language file: at start (ask only when nothing is remembered)
// and on request from the first page (always ask). The dialog itself is the
// caller's: `askUser` shows the list (ListLanguageNames, preselected with
// PreselectLanguageIndex) and returns the text the user confirmed, without
// ".ini"; an empty answer means English.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/i18n/LanguagePaths.h"

namespace orvanta {

// The file used when the user chose nothing.
inline constexpr const char* kFallbackLanguageFile = "English (ENG).ini";

// Names of the files in `languageDir` that end in ".ini", without that
// ending, sorted alphabetically without regard to case. Directories are
// skipped. A missing folder gives an empty list. Read afresh on every call.
std::vector<std::string> ListLanguageNames(const std::string& languageDir);

// The entry to preselect: the first one containing the user's code; failing
// that the first whose code (in its closing parentheses) is another variant of
// the user's language (ESP for an ESN user); failing that the last one
// containing "ENG"; failing all -1 (nothing selected).
int PreselectLanguageIndex(const std::vector<std::string>& names, const std::string& userAbbreviation);

// The language file name (with ".ini") to use at start. Reads
// defaultlang.ini (creating it empty when missing); asks and stores the
// answer only when no usable name is remembered.
std::string SelectLanguageAtStart(const LanguagePaths& paths, const std::function<std::string()>& askUser);

// Asks, stores and returns the new language file name (with ".ini").
std::string ChangeLanguage(const LanguagePaths& paths, const std::function<std::string()>& askUser);

}  // namespace orvanta

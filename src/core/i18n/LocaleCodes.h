// The user's language as a Windows three-letter abbreviated language name
// (ENU, ENG, CHT, DEU, ...), which is the code language file names carry in
// parentheses, e.g. "English (ENG).ini".
#pragma once

#include <string>
#include <string_view>

namespace orvanta {

// The code for a POSIX locale name such as "zh_TW.UTF-8" or "de_AT@euro".
// The territory picks the variant when known (en_GB -> ENG, en_US -> ENU);
// otherwise the language's main variant is used. "", "C", "POSIX" and unknown
// languages give "".
std::string LanguageAbbreviationForLocale(std::string_view locale);

// The code for the user's message locale: the first non-empty of LC_ALL,
// LC_MESSAGES and LANG, as the C library picks it.
std::string UserLanguageAbbreviation();

}  // namespace orvanta

// How much of a language file's text each kind of caption keeps: a value is
// cut to capacity - 1 bytes, as it always has been, so a translation that
// runs long is cut in the same place on every PC.
#pragma once

#include <cstddef>

namespace orvanta {

inline constexpr std::size_t kCaptionCapacity = 260;      // captions, most titles, short prompts
inline constexpr std::size_t kMessageCapacity = 1024;     // message boxes, notes, longer titles, the about texts
inline constexpr std::size_t kSummaryCapacity = 2014;     // the summary page's five boxes
inline constexpr std::size_t kSearchNoteCapacity = 8072;  // the search page's long note

}  // namespace orvanta

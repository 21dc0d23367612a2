// One INI file parsed into lines, so repeated lookups do not re-read the
// file, and so a write can change one line and keep everything else (other
// sections, comments, line endings, the encoding) as it was.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/i18n/TextCapacity.h"

namespace orvanta {

class IniDocument {
public:
    enum class Encoding { Utf8, Utf8Bom, Utf16LeBom, Utf16BeBom, Windows1252 };

    IniDocument() = default;

    // Parses file contents in any of the supported encodings. Never fails:
    // bytes that do not decode become U+FFFD or are read as Windows-1252.
    static IniDocument Parse(std::string_view bytes);

    // Reads and parses the file. Returns false (and leaves *out empty) when the
    // file cannot be opened or read, is not a regular file (a FIFO or a device
    // is never waited on: the file is opened non-blocking and checked before
    // any read) or holds more than `maxBytes`. `whyNot`, when given, receives
    // the reason in a few words.
    static constexpr std::size_t kDefaultMaxBytes = 16u * 1024u * 1024u;
    static bool Load(const std::string& path, IniDocument* out, std::size_t maxBytes = kDefaultMaxBytes,
                     std::string* whyNot = nullptr);

    // The value of [section] key, cut to capacity-1 characters; "" when absent.
    std::string Get(std::string_view section, std::string_view key, std::size_t capacity = kCaptionCapacity) const;

    // True when the section exists and holds the key (even with an empty value).
    bool Has(std::string_view section, std::string_view key) const;

    // Replaces the first matching key of the first matching section, or adds
    // the key (and the section) at the end. Returns false for names or values
    // that cannot be stored on one line (see WriteIniString).
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    // The file contents in the document's encoding, ready to be written back.
    std::string Serialize() const;

    // Writes Serialize() to `path`, replacing the file in one step when the
    // folder allows it. Returns false when nothing could be written.
    bool Save(const std::string& path) const;

    Encoding GetEncoding() const { return encoding_; }

    // Section names in file order (duplicates included), for tests and tools.
    std::vector<std::string> SectionNames() const;
    // Key names of the first section of that name, in file order.
    std::vector<std::string> KeyNames(std::string_view section) const;

private:
    // The line index range [begin, end) of the body of the first section
    // named `section`, or false when there is none.
    bool FindSection(std::string_view section, std::size_t* begin, std::size_t* end) const;
    // Index of the first line of [begin, end) that holds `key`, or npos.
    std::size_t FindKey(std::size_t begin, std::size_t end, std::string_view key) const;
    // Rebuilds index_ after the lines change.
    void Reindex();

    std::vector<std::string> lines_;  // UTF-8, without line terminators
    Encoding encoding_ = Encoding::Utf8;
    bool crlf_ = false;               // line terminator used when writing
    bool finalNewline_ = true;        // whether the last line was terminated
    // (section, key) folded to lower case -> the line that answers a lookup,
    // so the few hundred lookups of a language change do not each walk the
    // file. Holds the same first-match answers FindSection/FindKey give.
    std::map<std::pair<std::string, std::string>, std::size_t> index_;
};

}  // namespace orvanta

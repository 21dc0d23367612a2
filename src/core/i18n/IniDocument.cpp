#include "core/i18n/IniDocument.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/i18n/TextEncoding.h"

namespace orvanta {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

// Names compare like the profile functions do, without regard to case. Only
// ASCII letters are folded: every section and key the wizard uses is ASCII.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// A section header gives its name; a line that starts with '[' but has no
// closing bracket is not a header and is ignored, as the profile reader does.
bool SectionHeader(std::string_view line, std::string_view* name) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return false;
    const std::size_t close = t.rfind(']');
    if (close == std::string_view::npos || close == 0) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

// Splits a key line. Comment and blank lines have no key.
bool KeyLine(std::string_view line, std::string_view* key, std::string_view* value) {
    const std::string_view t = Trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '[') return false;
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) {
        *key = t;
        *value = {};
    } else {
        *key = Trim(t.substr(0, eq));
        *value = Trim(t.substr(eq + 1));
    }
    return true;
}

std::string Folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos || s.find('\0') != std::string_view::npos;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument doc;
    std::string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        doc.encoding_ = Encoding::Utf16LeBom;
        text = Utf16ToUtf8(bytes.substr(2), false);
    } else if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
               static_cast<unsigned char>(bytes[1]) == 0xFF) {
        doc.encoding_ = Encoding::Utf16BeBom;
        text = Utf16ToUtf8(bytes.substr(2), true);
    } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        doc.encoding_ = Encoding::Utf8Bom;
        text = SanitizeUtf8(bytes.substr(3));
    } else if (IsValidUtf8(bytes)) {
        doc.encoding_ = Encoding::Utf8;
        text.assign(bytes);
    } else {
        // Not UTF-8, so 8-bit text from a Western code page.
        doc.encoding_ = Encoding::Windows1252;
        text = Windows1252ToUtf8(bytes);
    }

    const std::size_t firstNl = text.find('\n');
    doc.crlf_ = firstNl != std::string::npos && firstNl > 0 && text[firstNl - 1] == '\r';
    doc.finalNewline_ = text.empty() || text.back() == '\n';

    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        const std::size_t end = nl == std::string::npos ? text.size() : nl;
        std::size_t len = end - start;
        if (len > 0 && text[start + len - 1] == '\r') --len;
        doc.lines_.emplace_back(text, start, len);
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    doc.Reindex();
    return doc;
}

void IniDocument::Reindex() {
    index_.clear();
    std::map<std::string, bool> seenSections;
    std::string current;
    bool searchable = false;  // keys before any header, or in a repeated section, are never found
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionHeader(lines_[i], &name)) {
            current = Folded(name);
            searchable = seenSections.emplace(current, true).second;
            continue;
        }
        std::string_view key;
        std::string_view value;
        if (searchable && KeyLine(lines_[i], &key, &value)) index_.emplace(std::make_pair(current, Folded(key)), i);
    }
}

bool IniDocument::Load(const std::string& path, IniDocument* out, std::size_t maxBytes, std::string* whyNot) {
    *out = IniDocument();
    const auto refuse = [whyNot](const char* reason, int fd) {
        if (whyNot) *whyNot = reason;
        if (fd >= 0) ::close(fd);
        return false;
    };
    // Non-blocking, so that a FIFO put in the file's place cannot hold the
    // caller in open() until a writer appears; regular files ignore the flag.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return refuse(errno == ENOENT ? "no such file" : "cannot be opened", -1);
    struct stat st {};
    if (::fstat(fd, &st) != 0) return refuse("cannot be examined", fd);
    if (!S_ISREG(st.st_mode)) return refuse("not a regular file", fd);
    if (static_cast<std::size_t>(st.st_size) > maxBytes) return refuse("larger than the size limit", fd);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return refuse("cannot be read", fd);
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        // The file may grow while it is read.
        if (bytes.size() > maxBytes) return refuse("larger than the size limit", fd);
    }
    ::close(fd);
    *out = Parse(bytes);
    return true;
}

bool IniDocument::FindSection(std::string_view section, std::size_t* begin, std::size_t* end) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (!SectionHeader(lines_[i], &name) || !SameName(name, section)) continue;
        // A '[' line without its ']' is not a header, so it does not end the
        // section (and KeyLine never reads it as a key).
        std::size_t j = i + 1;
        std::string_view next;
        while (j < lines_.size() && !SectionHeader(lines_[j], &next)) ++j;
        *begin = i + 1;
        *end = j;
        return true;
    }
    return false;
}

std::size_t IniDocument::FindKey(std::size_t begin, std::size_t end, std::string_view key) const {
    for (std::size_t i = begin; i < end; ++i) {
        std::string_view k;
        std::string_view v;
        if (KeyLine(lines_[i], &k, &v) && SameName(k, key)) return i;
    }
    return std::string::npos;
}

bool IniDocument::Has(std::string_view section, std::string_view key) const {
    return index_.count(std::make_pair(Folded(section), Folded(key))) != 0;
}

std::string IniDocument::Get(std::string_view section, std::string_view key, std::size_t capacity) const {
    if (capacity == 0) return {};
    const auto found = index_.find(std::make_pair(Folded(section), Folded(key)));
    if (found == index_.end()) return {};
    const std::size_t line = found->second;
    std::string_view k;
    std::string_view value;
    KeyLine(lines_[line], &k, &value);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, Utf8PrefixChars(value, capacity - 1)));
}

bool IniDocument::Set(std::string_view sectionIn, std::string_view keyIn, std::string_view valueIn) {
    // Stray bytes written into a UTF-8 file would make the whole file read
    // back as code-page text, garbling every other line; store U+FFFD instead.
    const std::string sectionText = SanitizeUtf8(sectionIn);
    const std::string keyText = SanitizeUtf8(keyIn);
    const std::string valueText = SanitizeUtf8(valueIn);
    const std::string_view section = sectionText;
    const std::string_view key = keyText;
    const std::string_view value = valueText;
    // Anything that would end the line early or be read back as another
    // section or key is refused, so a value can never rewrite other settings.
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    if (section.find(']') != std::string_view::npos || Trim(section) != section) return false;
    if (key.empty() || Trim(key) != key || key.find('=') != std::string_view::npos || key.front() == ';' ||
        key.front() == '[') {
        return false;
    }

    std::size_t begin = 0;
    std::size_t end = 0;
    if (FindSection(section, &begin, &end)) {
        const std::size_t line = FindKey(begin, end, key);
        if (line != std::string::npos) {
            // Keep the key as the file spells it; only the value changes.
            std::string_view oldKey;
            std::string_view oldValue;
            KeyLine(lines_[line], &oldKey, &oldValue);
            lines_[line] = std::string(oldKey) + "=" + std::string(value);
            Reindex();
            return true;
        }
        // After the section's last non-blank line, so blank lines that
        // separate it from the next section stay where they were.
        std::size_t insertAt = begin;
        for (std::size_t i = begin; i < end; ++i) {
            if (!Trim(lines_[i]).empty()) insertAt = i + 1;
        }
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                      std::string(key) + "=" + std::string(value));
        if (insertAt == lines_.size() - 1) finalNewline_ = true;
        Reindex();
        return true;
    }
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::string(key) + "=" + std::string(value));
    finalNewline_ = true;
    Reindex();
    return true;
}

std::string IniDocument::Serialize() const {
    const char* eol = crlf_ ? "\r\n" : "\n";
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text += lines_[i];
        if (i + 1 < lines_.size() || finalNewline_) text += eol;
    }
    switch (encoding_) {
        case Encoding::Utf8:
            return text;
        case Encoding::Utf8Bom:
            return "\xEF\xBB\xBF" + text;
        case Encoding::Utf16LeBom:
            return "\xFF\xFE" + Utf8ToUtf16(text, false);
        case Encoding::Utf16BeBom:
            return "\xFE\xFF" + Utf8ToUtf16(text, true);
        case Encoding::Windows1252: {
            std::string bytes;
            if (Utf8ToWindows1252(text, &bytes)) return bytes;
            // A character the code page cannot hold: rather than write '?'
            // and lose it, the file becomes UTF-8 with a mark that says so.
            return "\xEF\xBB\xBF" + SanitizeUtf8(text);
        }
    }
    return text;
}

bool IniDocument::Save(const std::string& path) const {
    const std::string bytes = Serialize();
    auto writeAll = [&](int fd) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    };

    // Write a neighbour and rename it over the file, so a crash or a full
    // disk never leaves a half-written file. A symbolic link is written
    // through instead of being replaced by a plain file.
    struct stat st {};
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    if (!exists || S_ISREG(st.st_mode)) {
        std::string tmp = path + ".XXXXXX";
        const int fd = ::mkstemp(tmp.data());
        if (fd >= 0) {
            ::fchmod(fd, exists ? (st.st_mode & 07777) : 0644);
            const bool ok = writeAll(fd) && ::fsync(fd) == 0;
            ::close(fd);
            if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) return true;
            ::unlink(tmp.c_str());
        }
    }
    // The folder may be read-only while the file itself is writable.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = writeAll(fd);
    return ::close(fd) == 0 && ok;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const std::string& line : lines_) {
        std::string_view name;
        if (SectionHeader(line, &name)) names.emplace_back(name);
    }
    return names;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    std::size_t begin = 0;
    std::size_t end = 0;
    if (!FindSection(section, &begin, &end)) return names;
    for (std::size_t i = begin; i < end; ++i) {
        std::string_view k;
        std::string_view v;
        if (KeyLine(lines_[i], &k, &v)) names.emplace_back(k);
    }
    return names;
}

}  // namespace orvanta

#include "core/i18n/IniFile.h"

#include <sys/stat.h>

#include <cerrno>

#include "core/i18n/IniDocument.h"

namespace orvanta {

std::string ReadIniString(const std::string& path, std::string_view section, std::string_view key,
                          std::size_t capacity) {
    IniDocument doc;
    if (!IniDocument::Load(path, &doc)) return {};
    return doc.Get(section, key, capacity);
}

bool WriteIniString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value) {
    IniDocument doc;
    if (!IniDocument::Load(path, &doc)) {
        // Only a file that is not there may be started afresh; one that
        // exists but cannot be read must not be overwritten and lost.
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 || errno != ENOENT) return false;
        doc = IniDocument();
    }
    if (!doc.Set(section, key, value)) return false;
    return doc.Save(path);
}

}  // namespace orvanta

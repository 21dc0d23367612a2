#include "core/i18n/LanguageSelection.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "core/i18n/IniFile.h"

namespace orvanta {
namespace {

constexpr std::string_view kExtension = ".ini";
constexpr std::size_t kStoredNameCapacity = 256;

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Alphabetical as a sorted list box shows it: case does not matter; names
// that differ only in case keep a fixed order.
bool ListOrder(const std::string& a, const std::string& b) {
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Fold(x) == Fold(y); });
    if (mismatch.first == a.end() || mismatch.second == b.end()) {
        if (a.size() != b.size()) return a.size() < b.size();
        return a < b;
    }
    return static_cast<unsigned char>(Fold(*mismatch.first)) < static_cast<unsigned char>(Fold(*mismatch.second));
}

// A language file name must name a file inside the language folder: a path
// separator or a control character (a line break would also spoil
// defaultlang.ini) makes it unusable.
bool IsPlainFileName(std::string_view name) {
    for (const char c : name) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    }
    return true;
}

// What the user's answer becomes: the name plus ".ini", or the fallback when
// the answer is empty or cannot be a file name.
std::string FileNameForAnswer(const std::string& answer) {
    if (answer.empty() || !IsPlainFileName(answer)) return kFallbackLanguageFile;
    return answer + std::string(kExtension);
}

// The code in a name's closing parentheses: "Deutsch (DEU)" gives "DEU".
std::string_view FileCode(std::string_view name) {
    if (name.size() < 5 || name.back() != ')') return {};
    const std::size_t open = name.rfind('(');
    if (open == std::string_view::npos || name.size() - open != 5) return {};
    return name.substr(open + 1, 3);
}

// Codes of one language share their first two letters (ESN and ESP,
// DEU and DEA, PTB and PTG, ENU and ENG): a user whose own variant has
// no file gets a sibling rather than English.
bool SameLanguage(std::string_view fileCode, std::string_view userCode) {
    return fileCode.size() == 3 && userCode.size() == 3 && fileCode.substr(0, 2) == userCode.substr(0, 2);
}

std::string Ask(const std::function<std::string()>& askUser) { return askUser ? askUser() : std::string(); }

}  // namespace

std::vector<std::string> ListLanguageNames(const std::string& languageDir) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(languageDir.c_str());
    if (dir == nullptr) return names;
    std::string folder = languageDir;
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= kExtension.size() || name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0) {
            continue;
        }
        struct stat st {};
        if (::stat((folder + name).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
        // Only the final ".ini" goes: removing the first one would turn
        // "x.initial.ini" into "xtial.ini", a name that leads to no file.
        names.push_back(name.substr(0, name.size() - kExtension.size()));
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), ListOrder);
    return names;
}

int PreselectLanguageIndex(const std::vector<std::string>& names, const std::string& userAbbreviation) {
    int selected = -1;
    int sameLanguage = -1;
    for (std::size_t j = 0; j < names.size(); ++j) {
        // An unknown user language ("" under the C locale) would be found in
        // every name; it must fall through to the English rule instead.
        if (!userAbbreviation.empty() && names[j].find(userAbbreviation) != std::string::npos) {
            return static_cast<int>(j);
        }
        if (names[j].find("ENG") != std::string::npos) selected = static_cast<int>(j);
        if (sameLanguage < 0 && SameLanguage(FileCode(names[j]), userAbbreviation)) sameLanguage = static_cast<int>(j);
    }
    return sameLanguage >= 0 ? sameLanguage : selected;
}

std::string SelectLanguageAtStart(const LanguagePaths& paths, const std::function<std::string()>& askUser) {
    const std::string& ini = paths.DefaultLangIniPath();
    // Make sure the file exists (empty) so a later write has a place to go;
    // an unreadable or uncreatable file just means the user is asked. Both
    // opens are non-blocking: a FIFO put in its place must not hold the start.
    int fd = ::open(ini.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) fd = ::open(ini.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd >= 0) ::close(fd);

    std::string name = ReadIniString(ini, "DefaultLang", "LangFile", kStoredNameCapacity);
    if (!name.empty() && name != kExtension && IsPlainFileName(name)) return name;

    name = FileNameForAnswer(Ask(askUser));
    WriteIniString(ini, "DefaultLang", "LangFile", name);
    return name;
}

std::string ChangeLanguage(const LanguagePaths& paths, const std::function<std::string()>& askUser) {
    const std::string name = FileNameForAnswer(Ask(askUser));
    WriteIniString(paths.DefaultLangIniPath(), "DefaultLang", "LangFile", name);
    return name;
}

}  // namespace orvanta

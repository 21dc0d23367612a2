#include "core/i18n/LanguagePaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace orvanta {
namespace {

#ifdef ORVANTA_DATADIR
constexpr const char* kInstalledDataDir = ORVANTA_DATADIR;
#else
constexpr const char* kInstalledDataDir = "/usr/share/orvanta";
#endif

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    return folder;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p; true when the folder exists afterwards.
bool MakeFolders(const std::string& folder) {
    for (std::size_t pos = 1; pos <= folder.size(); ++pos) {
        if (pos != folder.size() && folder[pos] != '/') continue;
        const std::string prefix = folder.substr(0, pos);
        if (::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return IsDirectory(folder);
}

std::string UserConfigHome() {
    // Relative values are invalid by the base-directory rules and ignored.
    const std::string xdg = Env("XDG_CONFIG_HOME");
    if (!xdg.empty() && xdg.front() == '/') return WithSlash(xdg);
    std::string home = Env("HOME");
    if (home.empty()) {
        if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) home = pw->pw_dir;
    }
    if (home.empty()) return {};
    return WithSlash(home) + ".config/";
}

}  // namespace

LanguagePaths::LanguagePaths() : exeFolder_(ExecutableFolder()) { Resolve({}, {}); }

LanguagePaths::LanguagePaths(std::string exeFolder, std::string languageDir, std::string configDir)
    : exeFolder_(WithSlash(std::move(exeFolder))) {
    Resolve(std::move(languageDir), std::move(configDir));
}

std::string LanguagePaths::ExecutableFolder() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    const std::string path(buffer, static_cast<std::size_t>(n));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

std::string LanguagePaths::DataFolderFor(const std::string& exeFolder) {
    // Relative to the program first, so a package, an install to any prefix
    // and an unpacked copy all find their own data; the folder compiled in
    // only when the program was moved away from it.
    if (!exeFolder.empty()) {
        const std::string relative = WithSlash(exeFolder) + "../share/orvanta/";
        if (IsDirectory(relative)) return relative;
    }
    return WithSlash(kInstalledDataDir);
}

std::string LanguagePaths::InstalledDataFolder() { return DataFolderFor(ExecutableFolder()); }

void LanguagePaths::Resolve(std::string languageDir, std::string configDir) {
    if (languageDir.empty()) languageDir = Env("ORVANTA_LANGUAGE_DIR");
    if (languageDir.empty()) {
        const std::string beside = exeFolder_ + "Language/";
        languageDir = (!exeFolder_.empty() && IsDirectory(beside)) ? beside : DataFolderFor(exeFolder_) + "Language/";
    }
    languageDir_ = WithSlash(std::move(languageDir));

    if (configDir.empty()) configDir = Env("ORVANTA_CONFIG_DIR");
    if (!configDir.empty()) {
        configDir = WithSlash(std::move(configDir));
        MakeFolders(configDir);
        defaultLangIniPath_ = configDir + "defaultlang.ini";
        return;
    }
    // Beside the executable when it is a self-contained copy (its language
    // files beside it: a build tree, an unpacked copy) that we may write
    // to, so the choice travels with that copy. Never beside an installed
    // program: root may write to /usr/bin, and must not leave files there.
    const std::string beside = exeFolder_ + "defaultlang.ini";
    if (!exeFolder_.empty() && IsDirectory(exeFolder_ + "Language/") &&
        (::access(exeFolder_.c_str(), W_OK) == 0 || ::access(beside.c_str(), W_OK) == 0)) {
        defaultLangIniPath_ = beside;
        return;
    }
    const std::string home = UserConfigHome();
    if (home.empty()) {
        // Nowhere to remember the choice: the user is asked at each start.
        defaultLangIniPath_ = beside;
        return;
    }
    const std::string folder = home + "orvanta/";
    MakeFolders(folder);
    defaultLangIniPath_ = folder + "defaultlang.ini";
}

std::string LanguagePaths::LanguageFilePath(std::string_view languageFileName) const {
    return languageDir_ + std::string(languageFileName);
}

}  // namespace orvanta

// Where the language files and defaultlang.ini live.
//
// The language files are in "Language/" beside the executable when that
// folder exists (a build tree), else in the data folder: "../share/orvanta/"
// from the executable when it exists (any install prefix), else the folder
// compiled in. defaultlang.ini goes beside the executable when the language
// files are there too and that folder is writable; an installed program keeps
// it in $XDG_CONFIG_HOME/orvanta/ (also when run as root), and the user is
// asked only once.
//
// ORVANTA_LANGUAGE_DIR and ORVANTA_CONFIG_DIR override the two folders (for
// tests and for running from unusual places). All folders end in '/'.
#pragma once

#include <string>
#include <string_view>

namespace orvanta {

class LanguagePaths {
public:
    // Folders from /proc/self/exe and the environment.
    LanguagePaths();
    // Explicit folders; an empty languageDir or configDir is worked out as
    // above (environment first, then the defaults).
    explicit LanguagePaths(std::string exeFolder, std::string languageDir = {}, std::string configDir = {});

    const std::string& LanguageDir() const { return languageDir_; }
    const std::string& DefaultLangIniPath() const { return defaultLangIniPath_; }

    // languageDir + languageFileName.
    std::string LanguageFilePath(std::string_view languageFileName) const;

    // The folder of the running executable, ending in '/'; "" if unknown.
    static std::string ExecutableFolder();
    // The installed data folder ("<exe>/../share/orvanta/", else the one
    // compiled in) for the running program, or for one in `exeFolder`.
    static std::string InstalledDataFolder();
    static std::string DataFolderFor(const std::string& exeFolder);

private:
    void Resolve(std::string languageDir, std::string configDir);

    std::string exeFolder_;
    std::string languageDir_;
    std::string defaultLangIniPath_;
};

}  // namespace orvanta

// Prints how long loading a language file and reading every caption takes,
// which is what start-up and each language change pay, for each shipped file.
// Usage: bench_i18n_lookup [language folder]   (default: Language/ beside it)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "core/i18n/LanguagePaths.h"
#include "core/i18n/LanguageSelection.h"
#include "core/i18n/LanguageStrings.h"

using namespace orvanta;

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? std::string(argv[1]) + "/" : LanguagePaths().LanguageDir();
    const std::vector<std::string> names = ListLanguageNames(dir);
    if (names.empty()) {
        std::fprintf(stderr, "no language files in %s\n", dir.c_str());
        return 1;
    }
    constexpr int kRounds = 200;
    for (const std::string& name : names) {
        const std::string path = dir + name + ".ini";
        IniDocument doc;
        if (!IniDocument::Load(path, &doc)) continue;
        std::size_t keys = 0;
        for (const std::string& section : doc.SectionNames()) keys += doc.KeyNames(section).size();

        std::size_t bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int round = 0; round < kRounds; ++round) {
            const LanguageStrings strings(path);
            for (const std::string& section : doc.SectionNames()) {
                for (const std::string& key : doc.KeyNames(section)) bytes += strings.Get(section, key, 8072).size();
            }
        }
        const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-28s %3zu keys  load + all lookups: %8.1f us  (%zu bytes of text)\n", name.c_str(), keys,
                    us / kRounds, bytes / kRounds);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %ld KiB\n", usage.ru_maxrss);
    return 0;
}

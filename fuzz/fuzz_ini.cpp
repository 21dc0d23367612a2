// Fuzzes the INI parser and writer: any bytes must parse without a fault, and
// what the writer stores must read back the same after a save and reload.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/i18n/IniDocument.h"
#include "core/i18n/TextEncoding.h"

using orvanta::IniDocument;

namespace {

std::string_view Trimmed(std::string_view s) {
    constexpr std::string_view blanks = " \t\r\n\v\f";
    const std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(32);
    const std::string key = input.ConsumeRandomLengthString(32);
    const std::string value = input.ConsumeRandomLengthString(64);
    const std::size_t capacity = input.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    IniDocument doc = IniDocument::Parse(bytes);
    const std::string got = doc.Get(section, key, capacity);
    if (!orvanta::IsValidUtf8(got)) std::abort();

    // Every value keeps reading the same after a save and reload.
    const IniDocument reloaded = IniDocument::Parse(doc.Serialize());
    for (const std::string& name : doc.SectionNames()) {
        for (const std::string& k : doc.KeyNames(name)) {
            if (doc.Get(name, k, 4096) != reloaded.Get(name, k, 4096)) std::abort();
        }
    }

    // A stored value reads back unchanged (when the reader's trimming and
    // quote removal leave it alone) and no other section loses its keys.
    if (doc.Set(section, key, value)) {
        const IniDocument after = IniDocument::Parse(doc.Serialize());
        const std::string clean = orvanta::SanitizeUtf8(value);
        const std::string cleanSection = orvanta::SanitizeUtf8(section);
        const std::string cleanKey = orvanta::SanitizeUtf8(key);
        const bool quoted = clean.size() >= 2 && clean.front() == '"' && clean.back() == '"';
        if (!quoted && Trimmed(clean) == clean && after.Get(cleanSection, cleanKey, 4096) != clean) std::abort();
        if (after.SectionNames().size() < doc.SectionNames().size()) std::abort();
    }
    return 0;
}

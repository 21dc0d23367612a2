#include "core/i18n/LanguageStrings.h"

#include <utility>

#include "core/base/Diagnostics.h"

namespace orvanta {

LanguageStrings::LanguageStrings() = default;

LanguageStrings::LanguageStrings(std::string languageFilePath, DiagnosticLine report) {
    auto doc = std::make_shared<IniDocument>();
    loaded_ = IniDocument::Load(languageFilePath, doc.get(), kMaxFileBytes, &refusedBecause_);
    if (loaded_) {
        refusedBecause_.clear();
        doc_ = std::move(doc);
        return;
    }
    const std::string line =
        "orvanta: language file " + languageFilePath + " refused (" + refusedBecause_ + "); using the built-in English texts";
    if (report) {
        report(line);
    } else {
        Diagnostic("%s", line.c_str());
    }
}

const IniDocument& LanguageStrings::English() {
    static const IniDocument english = IniDocument::Parse(BuiltInEnglishIni());
    return english;
}

std::string LanguageStrings::Get(std::string_view section, std::string_view key, std::size_t capacity) const {
    if (doc_) {
        std::string text = doc_->Get(section, key, capacity);
        if (!text.empty()) return text;
    }
    return English().Get(section, key, capacity);
}

}  // namespace orvanta

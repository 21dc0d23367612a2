#include "core/i18n/LanguageStrings.h"

#include <utility>

namespace orvanta {

LanguageStrings::LanguageStrings(std::string languageFilePath) : path_(std::move(languageFilePath)) {
    auto doc = std::make_shared<IniDocument>();
    loaded_ = IniDocument::Load(path_, doc.get());
    doc_ = std::move(doc);
}

std::string LanguageStrings::Get(std::string_view section, std::string_view key, std::size_t capacity) const {
    if (!doc_) return {};
    return doc_->Get(section, key, capacity);
}

}  // namespace orvanta

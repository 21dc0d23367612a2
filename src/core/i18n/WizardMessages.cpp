#include "core/i18n/WizardMessages.h"

#include <string>

#include "core/i18n/LanguageStrings.h"

namespace orvanta {

void WizardMessages::Load(const LanguageStrings& strings) {
    constexpr std::size_t kCapacity = 1024;
    for (int i = 1; i <= 8; ++i) {
        Message[i] = strings.Get("WizardDlg", "Message" + std::to_string(i), kCapacity);
    }
    for (int i = 1; i <= 4; ++i) {
        note[i] = strings.Get("WaitDlg", "note" + std::to_string(i), kCapacity);
    }
}

}  // namespace orvanta

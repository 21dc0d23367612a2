#include "core/i18n/WizardMessages.h"

#include "core/i18n/LanguageStrings.h"
#include "core/i18n/TextCapacity.h"

namespace orvanta {

void WizardMessages::Load(const LanguageStrings& strings) {
    const auto message = [&strings](const char* key) { return strings.Get("WizardDlg", key, kMessageCapacity); };
    const auto note = [&strings](const char* key) { return strings.Get("WaitDlg", key, kMessageCapacity); };
    noAnswer = message("Message2");
    savedWireless = message("Message3");
    saved = message("Message4");
    notFoundAgain = message("Message5");
    foundAgain = message("Message6");
    passwordRefused = message("Message7");
    accessRefused = message("Message8");
    reading = note("note2");
    saving = note("note3");
    refinding = note("note4");
}

}  // namespace orvanta

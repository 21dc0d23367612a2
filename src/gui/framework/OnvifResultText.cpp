#include "gui/framework/OnvifResultText.h"

#include "core/i18n/LanguageStrings.h"
#include "gui/framework/ShownText.h"
#include "gui/framework/WizardPage.h"

namespace orvanta {

namespace {

// The key of each outcome's sentence, and the English one for a language
// file without the section.
struct Sentence {
    const char* key;
    const char* fallback;
};

Sentence SentenceOf(onvif::OnvifStatus status) {
    using onvif::OnvifStatus;
    switch (status) {
        case OnvifStatus::Ok: return {"Done", "Done."};
        case OnvifStatus::NotAuthorized: return {"NotAuthorized", "The camera refused this user name or password."};
        case OnvifStatus::NoOnvifUser: return {"NoOnvifUser", "The camera has no ONVIF user of this name."};
        case OnvifStatus::OnvifDisabled: return {"OnvifDisabled", "The camera's ONVIF service is switched off."};
        case OnvifStatus::Unreachable: return {"Unreachable", "The camera did not answer."};
        case OnvifStatus::TimedOut: return {"TimedOut", "The camera stopped answering."};
        case OnvifStatus::NotFound: return {"NotFound", "The camera did not show up again after the change."};
        case OnvifStatus::Mismatch: return {"Mismatch", "The camera reads back other settings than were set."};
        case OnvifStatus::NotSupported: return {"NotSupported", "The camera does not offer this setting."};
        case OnvifStatus::Refused: return {"Refused", "This value cannot be sent to the camera."};
        case OnvifStatus::Fault:
        case OnvifStatus::BadReply: return {"Failed", "The camera refused the request."};
    }
    return {"Failed", "The camera refused the request."};
}

}  // namespace

QString OnvifResultText(const LanguageStrings& lang, const onvif::OnvifResult& result) {
    const Sentence sentence = SentenceOf(result.status);
    QString text = WizardPage::Text(lang, "OnvifMessages", sentence.key, kMessageCapacity);
    if (text.isEmpty()) text = QString::fromLatin1(sentence.fallback);
    if (!result.ok() && !result.detail.empty())
        // The detail quotes the camera (a fault's reason): one line of text.
        text += QStringLiteral("\n\n") + ShownText(result.detail, static_cast<qsizetype>(kMessageCapacity));
    return text;
}

}  // namespace orvanta

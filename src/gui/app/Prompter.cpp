#include "gui/app/Prompter.h"

namespace orvanta {

Prompt Prompter::FromFlags(const QString& text, const QString& caption, unsigned flags) {
    Prompt p;
    p.text = text;
    p.caption = caption;
    switch (flags & 0xF0u) {
        case mb::kIconStop: p.icon = PromptIcon::Stop; break;
        case mb::kIconQuestion: p.icon = PromptIcon::Question; break;
        case mb::kIconExclamation: p.icon = PromptIcon::Exclamation; break;
        case mb::kIconInformation: p.icon = PromptIcon::Information; break;
        default: p.icon = PromptIcon::None; break;
    }
    switch (flags & 0x0Fu) {
        case mb::kOkCancel: p.buttons = PromptButtons::OkCancel; break;
        case mb::kYesNo: p.buttons = PromptButtons::YesNo; break;
        default: p.buttons = PromptButtons::Ok; break;
    }
    return p;
}

}  // namespace orvanta

// The Prompter of the running wizard: a modal QMessageBox. Texts come from
// language files or from cameras, so they are shown as plain text.
#pragma once

#include "gui/framework/Prompter.h"

namespace orvanta {

class QtPrompter : public Prompter {
public:
    PromptAnswer Ask(QWidget* owner, const Prompt& prompt) override;
    int RunModal(QDialog& dialog) override;
};

}  // namespace orvanta

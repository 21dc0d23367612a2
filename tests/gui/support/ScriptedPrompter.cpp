#include "support/ScriptedPrompter.h"

#include <QDialog>
#include <QTest>

namespace orvanta::testing {

PromptAnswer ScriptedPrompter::Ask(QWidget* /*owner*/, const Prompt& prompt) {
    prompts_.push_back({prompt.icon, prompt.caption, prompt.text, prompt.buttons});
    if (answers_.empty()) {
        if (answerAnyWithNo_)
            return prompt.buttons == PromptButtons::YesNo ? PromptAnswer::No
                   : prompt.buttons == PromptButtons::OkCancel ? PromptAnswer::Cancel
                                                               : PromptAnswer::Ok;
        unexpected_ = true;
        QTest::qFail(qPrintable(QStringLiteral("unscripted message box: caption \"%1\" text \"%2\"")
                                    .arg(prompt.caption, prompt.text)),
                     __FILE__, __LINE__);
        return prompt.buttons == PromptButtons::YesNo ? PromptAnswer::No
               : prompt.buttons == PromptButtons::OkCancel ? PromptAnswer::Cancel
                                                           : PromptAnswer::Ok;
    }
    const PromptAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

int ScriptedPrompter::RunModal(QDialog& dialog) {
    dialogNames_ << QString::fromLatin1(dialog.metaObject()->className());
    if (dialogs_.empty()) {
        unexpected_ = true;
        QTest::qFail(qPrintable(QStringLiteral("unscripted dialog %1").arg(dialogNames_.last())), __FILE__,
                     __LINE__);
        return QDialog::Rejected;
    }
    auto handler = std::move(dialogs_.front());
    dialogs_.pop_front();
    return handler(dialog);
}

void ScriptedPrompter::Clear() {
    answers_.clear();
    dialogs_.clear();
    prompts_.clear();
    dialogNames_.clear();
    unexpected_ = false;
}

}  // namespace orvanta::testing

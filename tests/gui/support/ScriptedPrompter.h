// A Prompter for tests: answers come from a queue the test fills, every
// prompt is recorded, and a prompt nobody scripted fails the running test at
// once (it never blocks in a modal loop).
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "gui/framework/Prompter.h"

namespace orvanta::testing {

class ScriptedPrompter : public Prompter {
public:
    struct Record {
        PromptIcon icon;
        QString caption;
        QString text;
        PromptButtons buttons;
    };

    // The next message box gets this answer.
    void Answer(PromptAnswer answer) { answers_.push_back(answer); }
    // The next modal dialog is handed to `handler` (which may click in it)
    // and its return value becomes the dialog's result.
    void AnswerDialog(std::function<int(QDialog&)> handler) { dialogs_.push_back(std::move(handler)); }
    // For tests that walk many pages and only compare what was asked: a
    // message box beyond the queue is recorded and gets its "no" answer
    // (Cancel, No or Ok) instead of failing the test.
    void AnswerAnyWithNo(bool on) { answerAnyWithNo_ = on; }

    PromptAnswer Ask(QWidget* owner, const Prompt& prompt) override;
    int RunModal(QDialog& dialog) override;

    const std::vector<Record>& Prompts() const { return prompts_; }
    // Class names of the dialogs run, in order.
    const QStringList& Dialogs() const { return dialogNames_; }
    bool HadUnexpected() const { return unexpected_; }
    bool AllAnswersUsed() const { return answers_.empty() && dialogs_.empty(); }
    void Clear();

private:
    std::deque<PromptAnswer> answers_;
    std::deque<std::function<int(QDialog&)>> dialogs_;
    std::vector<Record> prompts_;
    QStringList dialogNames_;
    bool unexpected_ = false;
    bool answerAnyWithNo_ = false;
};

}  // namespace orvanta::testing

// Every message box of the wizard goes through a Prompter, so that tests can
// script the answers and check what was asked. Nothing else shows a
// QMessageBox.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace orvanta {

enum class PromptIcon { None, Critical, Warning, Information, Question };
enum class PromptButtons { Ok, OkCancel, YesNo };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct Prompt {
    QString text;
    QString caption;
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
};

class Prompter {
public:
    virtual ~Prompter() = default;

    // Shows the prompt modally over `owner` (may be null) and returns the
    // button the user chose. Closing the box counts as Cancel / No / Ok,
    // whichever the buttons offer as their "no".
    virtual PromptAnswer Ask(QWidget* owner, const Prompt& prompt) = 0;

    // Runs a modal dialog (language chooser, about, login) and returns its
    // result code; tests answer it without a modal loop.
    virtual int RunModal(QDialog& dialog) = 0;
};

}  // namespace orvanta

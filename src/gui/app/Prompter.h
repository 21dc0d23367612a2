// Every message box of the wizard goes through a Prompter, so that tests can
// script the answers and check what was asked. Nothing else shows a
// QMessageBox.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace orvanta {

enum class PromptIcon { None, Stop, Exclamation, Information, Question };
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

    // The message-box flag words the pages are written against: 0 (OK),
    // 0x10 (OK, stop icon), 0x30 (OK, exclamation), 0x40 (OK, information),
    // 0x41 (OK/Cancel, information), 0x44 (Yes/No, information).
    static Prompt FromFlags(const QString& text, const QString& caption, unsigned flags);

    // Runs a modal dialog (language chooser, about, login) and returns its
    // result code; tests answer it without a modal loop.
    virtual int RunModal(QDialog& dialog) = 0;

    PromptAnswer Show(QWidget* owner, const QString& text, const QString& caption, unsigned flags) {
        return Ask(owner, FromFlags(text, caption, flags));
    }
};

// The flag words by name, for code that is read more often than written.
namespace mb {
inline constexpr unsigned kOk = 0x00;
inline constexpr unsigned kOkCancel = 0x01;
inline constexpr unsigned kYesNo = 0x04;
inline constexpr unsigned kIconStop = 0x10;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconExclamation = 0x30;
inline constexpr unsigned kIconInformation = 0x40;
}  // namespace mb

}  // namespace orvanta
